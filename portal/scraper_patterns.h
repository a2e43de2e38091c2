#pragma once
// The compiled patterns the scrapers share: the news scraper's link regex
// and the video scraper's three attribute patterns. Start-up owns one
// instance and compiles it on the GUI thread before any scraper starts;
// a scraper then works on copies (ScriptRegex::Copy, or a copy of the
// AttributePattern), which share the compiled code, so releasing the
// originals at exit never pulls a pattern from under a running worker.
#include "portal/attribute_pattern.h"
#include "portal/script_regex.h"

namespace velk {

struct ScraperPatterns {
  ScriptRegex link_regex;
  AttributePattern src_pattern;
  AttributePattern href_pattern;
  AttributePattern title_pattern;
};

// Compiles the link regex with the link pattern and the default flags.
bool CompileLinkRegex(ScraperPatterns& patterns);
// Compiles the src=, href= and title= patterns.
bool CompileAttributePatterns(ScraperPatterns& patterns);
// Releases all four (at exit).
void ReleaseScraperPatterns(ScraperPatterns& patterns);

}  // namespace velk

#include "portal/scraper_patterns.h"

namespace velk {

bool CompileLinkRegex(ScraperPatterns& patterns) {
  return patterns.link_regex.Create(kLinkPattern);
}

bool CompileAttributePatterns(ScraperPatterns& patterns) {
  const bool src = patterns.src_pattern.Compile(kSrcPattern);
  const bool href = patterns.href_pattern.Compile(kHrefPattern);
  const bool title = patterns.title_pattern.Compile(kTitlePattern);
  return src && href && title;
}

void ReleaseScraperPatterns(ScraperPatterns& patterns) {
  patterns.link_regex.Destroy();
  patterns.src_pattern.Release();
  patterns.href_pattern.Release();
  patterns.title_pattern.Release();
}

}  // namespace velk

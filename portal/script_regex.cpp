#include "portal/script_regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <cstdint>
#include <vector>

#include "portal/gbk_find.h"

namespace velk {

// Bounds on the work of one search, so that a hostile page (deep
// backtracking over a long line) ends with "no result" instead of hanging
// the worker or exhausting its memory.
namespace {
constexpr std::uint32_t kMatchLimit = 10'000'000;
constexpr std::uint32_t kDepthLimit = 1'000'000;
constexpr std::uint32_t kHeapLimitKib = 64 * 1024;
}  // namespace

struct ScriptRegex::Compiled {
  Text pattern;
  bool global = true;
  pcre2_code* code = nullptr;  // null when the pattern does not compile
  std::uint32_t groups = 0;

  Compiled() = default;
  Compiled(const Compiled&) = delete;
  Compiled& operator=(const Compiled&) = delete;
  ~Compiled() { pcre2_code_free(code); }
};

struct ScriptRegex::Matches {
  Text subject;
  std::size_t groups = 0;
  // For each match, start and end of the whole match and of every group;
  // PCRE2_UNSET for a group that took no part.
  std::vector<PCRE2_SIZE> offsets;

  std::size_t Count() const { return offsets.size() / ((groups + 1) * 2); }
  const PCRE2_SIZE* Match(std::size_t index) const { return &offsets[index * (groups + 1) * 2]; }
};

namespace {

template <class Deleter, class T>
std::unique_ptr<T, Deleter> Owned(T* pointer) {
  return std::unique_ptr<T, Deleter>(pointer);
}

struct MatchDataFree {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextFree {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct CompileContextFree {
  void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};

// Calls `visit(ovector)` for the first match, or for every match from left
// to right when `global`; after an empty match the search goes on one
// character further, as script engines do. False when the engine gave up.
template <class Visit>
bool ForEachMatch(const ScriptRegex::Compiled& compiled, std::string_view subject, Visit visit) {
  if (!compiled.code) return false;
  auto data = Owned<MatchDataFree>(pcre2_match_data_create_from_pattern(compiled.code, nullptr));
  auto context = Owned<MatchContextFree>(pcre2_match_context_create(nullptr));
  if (!data || !context) return false;
  pcre2_set_match_limit(context.get(), kMatchLimit);
  pcre2_set_depth_limit(context.get(), kDepthLimit);
  pcre2_set_heap_limit(context.get(), kHeapLimitKib);
  const auto* bytes = reinterpret_cast<PCRE2_SPTR>(subject.data());
  for (PCRE2_SIZE start = 0; start <= subject.size();) {
    const int result = pcre2_match(compiled.code, bytes, subject.size(), start, 0, data.get(),
                                   context.get());
    if (result == PCRE2_ERROR_NOMATCH) return true;
    if (result <= 0) return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
    visit(ovector);
    if (!compiled.global) return true;
    PCRE2_SIZE next = ovector[1];
    if (ovector[1] == ovector[0]) {
      if (next >= subject.size()) return true;
      next += GbkCharLength(subject, next);
    }
    start = next > start ? next : start + 1;
  }
  return true;
}

std::string_view Group(std::string_view subject, const PCRE2_SIZE* ovector, std::size_t group) {
  const PCRE2_SIZE begin = ovector[2 * group], end = ovector[2 * group + 1];
  if (begin == PCRE2_UNSET || end < begin) return {};
  return subject.substr(begin, end - begin);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The replacement text for one match, with the script engines' $ forms.
void AppendReplacement(Text& out, std::string_view replacement, std::string_view subject,
                       const PCRE2_SIZE* ovector, std::size_t groups) {
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char c = replacement[i];
    if (c != '$' || i + 1 == replacement.size()) {
      out.push_back(c);
      continue;
    }
    const char next = replacement[i + 1];
    if (next == '$') {
      out.push_back('$');
      ++i;
    } else if (next == '&') {
      out.append(Group(subject, ovector, 0));
      ++i;
    } else if (next == '`') {
      out.append(subject.substr(0, ovector[0]));
      ++i;
    } else if (next == '\'') {
      out.append(subject.substr(ovector[1]));
      ++i;
    } else if (IsDigit(next)) {
      std::size_t number = next - '0';
      std::size_t used = 1;
      if (i + 2 < replacement.size() && IsDigit(replacement[i + 2])) {
        const std::size_t two_digits = number * 10 + (replacement[i + 2] - '0');
        if (two_digits >= 1 && two_digits <= groups) {
          number = two_digits;
          used = 2;
        }
      }
      if (number >= 1 && number <= groups) {
        out.append(Group(subject, ovector, number));
        i += used;
      } else {
        out.push_back('$');
      }
    } else {
      out.push_back('$');
    }
  }
}

}  // namespace

void ScriptRegex::Destroy() {
  matches_.reset();
  compiled_.reset();
  match_count_ = 0;
}

ScriptRegex ScriptRegex::Copy() const { return *this; }

bool ScriptRegex::Create(std::string_view pattern, bool ignore_case, bool multiline,
                         bool global) {
  Destroy();
  auto compiled = std::make_shared<Compiled>();
  compiled->pattern = Text(pattern);
  compiled->global = global;
  compiled_ = compiled;

  auto context = Owned<CompileContextFree>(pcre2_compile_context_create(nullptr));
  if (!context) return false;
  // "." stops at CR and LF alike, as in script engines.
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
  std::uint32_t options = PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALLOW_EMPTY_CLASS |
                          PCRE2_NEVER_UTF | PCRE2_NEVER_UCP;
  if (ignore_case) options |= PCRE2_CASELESS;
  options |= multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
  int error = 0;
  PCRE2_SIZE error_offset = 0;
  compiled->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                 options, &error, &error_offset, context.get());
  if (!compiled->code) return false;
  pcre2_pattern_info(compiled->code, PCRE2_INFO_CAPTURECOUNT, &compiled->groups);
  return true;
}

Text ScriptRegex::GetPattern() const { return compiled_ ? compiled_->pattern : Text(); }

Text ScriptRegex::Replace(std::string_view text, std::string_view replacement) const {
  if (!compiled_) return {};
  Text out;
  PCRE2_SIZE copied_up_to = 0;
  const bool finished = ForEachMatch(*compiled_, text, [&](const PCRE2_SIZE* ovector) {
    out.append(text.substr(copied_up_to, ovector[0] - copied_up_to));
    AppendReplacement(out, replacement, text, ovector, compiled_->groups);
    copied_up_to = ovector[1];
  });
  if (!finished) return {};
  out.append(text.substr(copied_up_to));
  return out;
}

int ScriptRegex::Execute(std::string_view text) {
  matches_.reset();
  match_count_ = 0;
  if (!compiled_) return 0;
  auto matches = std::make_shared<Matches>();
  matches->subject = Text(text);
  matches->groups = compiled_->groups;
  const std::size_t per_match = (matches->groups + 1) * 2;
  const bool finished = ForEachMatch(*compiled_, matches->subject, [&](const PCRE2_SIZE* ovector) {
    matches->offsets.insert(matches->offsets.end(), ovector, ovector + per_match);
  });
  if (!finished || matches->Count() > static_cast<std::size_t>(INT32_MAX)) return 0;
  match_count_ = static_cast<int>(matches->Count());
  matches_ = std::move(matches);
  return match_count_;
}

Text ScriptRegex::GetMatchText(int match_index) const {
  if (!matches_ || match_index < 1 || match_index > match_count_) return {};
  return Text(Group(matches_->subject, matches_->Match(match_index - 1), 0));
}

Text ScriptRegex::GetSubMatchText(int match_index, int submatch_index) const {
  if (!matches_ || match_index < 1 || match_index > match_count_ || submatch_index < 1 ||
      static_cast<std::size_t>(submatch_index) > matches_->groups)
    return {};
  return Text(Group(matches_->subject, matches_->Match(match_index - 1), submatch_index));
}

int ScriptRegex::GetSubMatchCount() const {
  if (!matches_ || match_count_ == 0) return 0;
  return static_cast<int>(matches_->groups);
}

}  // namespace velk

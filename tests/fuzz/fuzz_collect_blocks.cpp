// CollectBlocks against a slow reference (split into a list, then cut).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "portal/text_cut.h"
#include "tests/fuzz/gbk_reference.h"

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::string Reference(const std::string& text, const std::string& marker, long skip,
                      const std::string& cut) {
  std::vector<std::string> segments;
  std::size_t at = 0;
  while (true) {
    const std::size_t hit = marker.empty() ? kNone : velk::fuzz::ReferenceFind(text, marker, at, false);
    if (hit == kNone) {
      if (at < text.size()) segments.push_back(text.substr(at));
      break;
    }
    segments.push_back(text.substr(at, hit - at));
    at = hit + marker.size();
  }
  std::string result;
  for (std::size_t i = 0; i < segments.size(); ++i) {
    if (static_cast<long>(i) < skip) continue;
    const std::size_t c = velk::fuzz::ReferenceFind(segments[i], cut, 0, false);
    if (c != kNone) result += segments[i].substr(0, c);
    result += "\r\n";
  }
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const long skip = input.ConsumeIntegralInRange<long>(-1, 8);
  const std::string marker = input.ConsumeRandomLengthString(8);
  const std::string cut = input.ConsumeRandomLengthString(8);
  const std::string text = input.ConsumeRemainingBytesAsString();
  if (velk::CollectBlocks(text, marker, skip, cut) != Reference(text, marker, skip, cut))
    std::abort();
  return 0;
}

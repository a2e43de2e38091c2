// CutBetween against a slow reference of its rules, on arbitrary bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "portal/text_cut.h"
#include "tests/fuzz/gbk_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const long from = input.ConsumeIntegralInRange<long>(-2, 64);
  const bool ignore_case = input.ConsumeBool();
  const std::string start = input.ConsumeRandomLengthString(16);
  const std::string end = input.ConsumeRandomLengthString(16);
  const std::string text = input.ConsumeRemainingBytesAsString();

  const std::string cut = velk::CutBetween(text, start, end, from, ignore_case);

  std::string expected;
  const std::size_t found =
      velk::fuzz::ReferenceFind(text, start, from <= 1 ? 0 : from - 1, ignore_case);
  if (found != static_cast<std::size_t>(-1)) {
    const std::size_t a = found + start.size();
    const std::size_t q = end.empty() ? static_cast<std::size_t>(-1)
                                      : velk::fuzz::ReferenceFind(text, end, a, ignore_case);
    expected = q == static_cast<std::size_t>(-1) ? (a < text.size() ? text.substr(a) : "")
                                                 : text.substr(a, q - a);
  }
  if (cut != expected) std::abort();
  return 0;
}

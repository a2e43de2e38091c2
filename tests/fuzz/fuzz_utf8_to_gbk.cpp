// Utf8ToGbk on arbitrary bytes: the result is well-formed GBK, ASCII passes
// unchanged, and converting the result back to UTF-8 and again to GBK gives
// the same text (iconv's CP936 is the independent converter).
#include <iconv.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "portal/gbk_text.h"

namespace {

bool IsWellFormedGbk(const std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == 0) return false;
    if (byte < 0x80) continue;
    if (byte == 0x80) continue;  // the euro sign
    if (byte == 0xFF || i + 1 == text.size()) return false;
    const auto trail = static_cast<unsigned char>(text[++i]);
    if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return false;
  }
  return true;
}

std::string GbkToUtf8(const std::string& gbk) {
  static iconv_t converter = iconv_open("UTF-8", "CP936");
  std::string out(gbk.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(gbk.data());
  char* to = out.data();
  std::size_t in_left = gbk.size(), out_left = out.size();
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &in, &in_left, &to, &out_left) == static_cast<std::size_t>(-1)) std::abort();
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string utf8(reinterpret_cast<const char*>(data), size);
  const std::string gbk = velk::Utf8ToGbk(utf8);
  if (!IsWellFormedGbk(gbk)) std::abort();
  const std::size_t until_zero = std::strlen(utf8.c_str());
  if (gbk.size() > until_zero * 2) std::abort();
  bool ascii = true;
  for (std::size_t i = 0; i < until_zero; ++i) ascii &= static_cast<unsigned char>(utf8[i]) < 0x80;
  if (ascii && gbk != utf8.substr(0, until_zero)) std::abort();
  if (velk::Utf8ToGbk(GbkToUtf8(gbk)) != gbk) std::abort();
  return 0;
}

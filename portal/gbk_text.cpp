#include "portal/gbk_text.h"

#include <iconv.h>
#include <unicode/unorm2.h>
#include <unicode/utf8.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <cstring>
#include <memory>

namespace velk {
namespace {

constexpr char kReplacement = '?';

// Code page 936 for every character of the basic plane (GBK has none
// beyond it): a value below 0x100 is one byte, a larger one two bytes,
// 0 means GBK cannot represent the character. Built once with iconv, so the
// conversion itself is a table look-up.
class GbkTable {
 public:
  GbkTable() : codes_(std::make_unique<std::array<std::uint16_t, 0x10000>>()) {
    codes_->fill(0);
    UErrorCode status = U_ZERO_ERROR;
    composer_ = unorm2_getNFCInstance(&status);
    if (U_FAILURE(status)) composer_ = nullptr;
    for (UChar32 code = 0; composer_ && code < 0x10000; ++code)
      combines_backwards_[code] = !unorm2_hasBoundaryBefore(composer_, code);
    iconv_t converter = iconv_open("CP936", "UTF-32LE");
    if (converter == reinterpret_cast<iconv_t>(-1)) return;
    for (std::uint32_t code = 1; code < 0x10000; ++code) {
      if (code >= 0xD800 && code <= 0xDFFF) continue;
      unsigned char in[4] = {static_cast<unsigned char>(code), static_cast<unsigned char>(code >> 8),
                             0, 0};
      unsigned char out[8];
      char* in_ptr = reinterpret_cast<char*>(in);
      char* out_ptr = reinterpret_cast<char*>(out);
      std::size_t in_left = sizeof in, out_left = sizeof out;
      iconv(converter, nullptr, nullptr, nullptr, nullptr);
      if (iconv(converter, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1))
        continue;
      const std::size_t written = sizeof out - out_left;
      if (written == 1) (*codes_)[code] = out[0];
      if (written == 2) (*codes_)[code] = static_cast<std::uint16_t>(out[0] << 8 | out[1]);
    }
    iconv_close(converter);
  }

  std::uint16_t Lookup(UChar32 code) const { return code > 0 && code < 0x10000 ? (*codes_)[code] : 0; }

  // The precomposed form of `base` + `mark` when GBK has it, else -1.
  UChar32 ComposeInGbk(UChar32 base, UChar32 mark) const {
    if (!composer_) return -1;
    if (mark < 0x10000 ? !combines_backwards_[mark] : unorm2_hasBoundaryBefore(composer_, mark))
      return -1;
    const UChar32 composed = unorm2_composePair(composer_, base, mark);
    return composed >= 0 && Lookup(composed) != 0 ? composed : -1;
  }

 private:
  std::unique_ptr<std::array<std::uint16_t, 0x10000>> codes_;
  const UNormalizer2* composer_ = nullptr;
  std::bitset<0x10000> combines_backwards_;
};

const GbkTable& Table() {
  static const GbkTable table;
  return table;
}

void AppendGbk(Text& out, std::uint16_t code) {
  if (code == 0) {
    out.push_back(kReplacement);
  } else if (code < 0x100) {
    out.push_back(static_cast<char>(code));
  } else {
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
  }
}

}  // namespace

Text Utf8ToGbk(std::string_view utf8) {
  const void* zero = std::memchr(utf8.data(), 0, utf8.size());
  const std::string_view input =
      zero ? utf8.substr(0, static_cast<const char*>(zero) - utf8.data()) : utf8;
  const GbkTable& table = Table();

  Text out;
  out.reserve(input.size());
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
  const std::int64_t length = static_cast<std::int64_t>(input.size());
  // The last character written, while it may still take a combining mark.
  UChar32 pending = U_SENTINEL;
  std::size_t pending_at = 0;
  for (std::int64_t i = 0; i < length;) {
    if (bytes[i] < 0x80) {  // ASCII neither composes nor needs the table
      pending_at = out.size();
      pending = bytes[i];
      out.push_back(static_cast<char>(bytes[i++]));
      continue;
    }
    UChar32 code;
    U8_NEXT(bytes, i, length, code);
    if (code < 0) {
      out.push_back(kReplacement);
      pending = U_SENTINEL;
      continue;
    }
    if (pending >= 0) {
      const UChar32 composed = table.ComposeInGbk(pending, code);
      if (composed >= 0) {
        out.resize(pending_at);
        AppendGbk(out, table.Lookup(composed));
        pending = composed;
        continue;
      }
    }
    pending_at = out.size();
    AppendGbk(out, table.Lookup(code));
    pending = code;
  }
  return out;
}

}  // namespace velk

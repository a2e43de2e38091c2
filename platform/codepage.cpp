#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace velk {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// One iconv handle per thread and direction: handles are not thread-safe.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

Converter& gbk_decoder() {
  thread_local Converter converter("UTF-32LE", "CP936");
  return converter;
}

Converter& gbk_encoder() {
  thread_local Converter converter("CP936", "UTF-32LE");
  return converter;
}

std::string to_utf32le(std::u32string_view chars) {
  std::string out;
  out.reserve(chars.size() * 4);
  for (char32_t c : chars) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((c >> shift) & 0xFF));
  }
  return out;
}

char32_t from_utf32le(const unsigned char* p) {
  return char32_t(p[0]) | char32_t(p[1]) << 8 | char32_t(p[2]) << 16 | char32_t(p[3]) << 24;
}

std::u32string decode_gbk(std::string_view gbk) {
  std::u32string out;
  Converter& converter = gbk_decoder();
  if (!converter.ok()) return out;
  iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(gbk.data());
  std::size_t in_left = gbk.size();
  unsigned char buffer[4096];
  while (in_left > 0) {
    char* outp = reinterpret_cast<char*>(buffer);
    std::size_t out_left = sizeof buffer;
    std::size_t result = iconv(converter.get(), &in, &in_left, &outp, &out_left);
    int error = errno;
    for (unsigned char* p = buffer; p < reinterpret_cast<unsigned char*>(outp); p += 4) out.push_back(from_utf32le(p));
    if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
      // EILSEQ or EINVAL (a lead byte at the end): one U+FFFD, go on after it.
      out.push_back(kReplacement);
      ++in;
      --in_left;
      iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

Text encode_gbk(std::u32string_view chars) {
  Text out;
  Converter& converter = gbk_encoder();
  if (!converter.ok()) return out;
  iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
  std::string input = to_utf32le(chars);
  char* in = input.data();
  std::size_t in_left = input.size();
  char buffer[4096];
  while (in_left > 0) {
    char* outp = buffer;
    std::size_t out_left = sizeof buffer;
    std::size_t result = iconv(converter.get(), &in, &in_left, &outp, &out_left);
    int error = errno;
    out.append(buffer, outp - buffer);
    if (result == static_cast<std::size_t>(-1) && error != E2BIG) {
      // iconv stops at a character GBK lacks instead of substituting.
      out.push_back('?');
      in += 4;
      in_left -= 4;
      iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Strict UTF-8 (no overlong forms, surrogates or values past U+10FFFF);
// each maximal invalid sequence gives one `invalid`.
std::u32string decode_utf8(std::string_view utf8, char32_t invalid) {
  std::u32string out;
  out.reserve(utf8.size());
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  std::size_t n = utf8.size();
  std::size_t i = 0;
  while (i < n) {
    unsigned char b = s[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int length = 0;
    char32_t c = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
      length = 2, c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      length = 3, c = b & 0x0F;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      length = 4, c = b & 0x07;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    }
    if (length == 0) {
      out.push_back(invalid);
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool good = true;
    for (int k = 1; k < length; ++k, ++j) {
      if (j >= n) {
        good = false;
        break;
      }
      unsigned char next = s[j];
      bool in_range = k == 1 ? (next >= low && next <= high) : is_continuation(next);
      if (!in_range) {
        good = false;
        break;
      }
      c = (c << 6) | (next & 0x3F);
    }
    out.push_back(good ? c : invalid);
    i = j;
  }
  return out;
}

std::string encode_utf8(std::u32string_view chars) {
  std::string out;
  out.reserve(chars.size());
  for (char32_t c : chars) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u32string decode_utf16(std::u16string_view utf16) {
  std::u32string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char16_t u = utf16[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(utf16[i + 1]) - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      out.push_back(kReplacement);
    } else {
      out.push_back(u);
    }
  }
  return out;
}

std::u16string encode_utf16(std::u32string_view chars) {
  std::u16string out;
  out.reserve(chars.size());
  for (char32_t c : chars) {
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

// Lone surrogates are not characters; GBK shows them as "?" like any other
// character it lacks.
constexpr char32_t kNoGbkCharacter = 0x110000;

}  // namespace

std::string gbk_to_utf8(std::string_view gbk) { return encode_utf8(decode_gbk(gbk)); }

Text utf8_to_gbk(std::string_view utf8) { return encode_gbk(decode_utf8(utf8, kNoGbkCharacter)); }

std::u16string gbk_to_utf16(std::string_view gbk) { return encode_utf16(decode_gbk(gbk)); }

Text utf16_to_gbk(std::u16string_view utf16) { return encode_gbk(decode_utf16(utf16)); }

std::u16string utf8_to_utf16(std::string_view utf8) { return encode_utf16(decode_utf8(utf8, kReplacement)); }

std::string utf16_to_utf8(std::u16string_view utf16) { return encode_utf8(decode_utf16(utf16)); }

}  // namespace velk

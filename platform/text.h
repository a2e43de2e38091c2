#pragma once
// The two value types every part of Velk passes around.
//
// Text is GBK bytes (the sources are compiled with -fexec-charset=GBK, so a
// literal is GBK too). The empty text stands for "no value": a missing INI
// key, a failed download. Positions in a text are 1-based byte positions.
// Bytes is a counted buffer of raw bytes (downloaded bodies, pictures); it
// may hold zero bytes.
#include <cstring>
#include <string>
#include <string_view>

namespace velk {

using Text = std::string;
using Bytes = std::string;

// The bytes up to the first zero byte, as text.
inline Text bytes_to_text(std::string_view bytes) {
  const void* zero = std::memchr(bytes.data(), 0, bytes.size());
  if (!zero) return Text(bytes);
  return Text(bytes.data(), static_cast<const char*>(zero) - bytes.data());
}

}  // namespace velk

#pragma once
// How an address that the program writes to a web view reaches the engine.
//
// The program hands over GBK text as a classic browser control takes it; the
// engine wants a UTF-8 URI and guesses no scheme. The text goes over as it
// stands as far as the engine allows:
// - blanks and control bytes at either end are dropped (a browser's address
//   parser drops them too);
// - a text that names a scheme goes as it stands ("http:", "https:",
//   "about:", "file:", "data:", and any other, which the engine then refuses
//   with its own error page), except a script address ("javascript:"), which
//   would run in whatever page the view shows: it becomes "about:blocked";
// - a text without a scheme is a typed address: an absolute path opens as a
//   file, "//host/x" as "http://host/x", anything else as "http://" + the
//   text ("www.example.com",
//   "example.com/path", "localhost:8080", "127.0.0.1:8081/x", "[::1]:80");
// - the empty text becomes "about:invalid": the engine shows its error page;
// - GBK is converted to UTF-8, then every byte of 0x80 and above, every
//   blank and every control byte is percent-escaped (a URI carries no raw
//   blank, and the engine would silently drop tabs and line breaks inside
//   the text: "java<TAB>script:" must not turn into a script address).
//   Everything else, existing escapes included, is left alone.
#include <string>

#include "platform/text.h"

namespace velk::tk {

std::string web_address_for_engine(const Text& gbk);

}  // namespace velk::tk

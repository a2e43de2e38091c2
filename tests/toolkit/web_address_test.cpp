// How the addresses the program writes to a web view reach the engine.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/web_address.h"

namespace velk::tk {
namespace {

struct AddressCase {
  const char* why;
  Text given;  // GBK, as the program hands it over
  std::string engine;
};

void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.why; }

class WebAddress : public testing::TestWithParam<AddressCase> {};

TEST_P(WebAddress, ReachesTheEngineAs) {
  const AddressCase& c = GetParam();
  EXPECT_EQ(web_address_for_engine(c.given), c.engine) << c.why;
}

const AddressCase kCases[] = {
    // A scheme: as it stands.
    {"http", "http://www.example.com/a?b=c#d", "http://www.example.com/a?b=c#d"},
    {"https, upper-case scheme", "HTTPS://Example.com/", "HTTPS://Example.com/"},
    {"about", "about:blank", "about:blank"},
    {"file", "file:///home/user/page.html", "file:///home/user/page.html"},
    {"data", "data:text/html,<p>x</p>", "data:text/html,<p>x</p>"},
    {"unknown scheme: the engine refuses it", "foo:bar", "foo:bar"},
    {"existing escapes stay", "http://a.example/%B0%D9%B6%C8?q=%20", "http://a.example/%B0%D9%B6%C8?q=%20"},
    {"a scheme with a non-port colon", "mailto:someone@example.com", "mailto:someone@example.com"},
    // Typed addresses without a scheme.
    {"bare host", "www.example.com", "http://www.example.com"},
    {"host and path", "example.com/path/x.html", "http://example.com/path/x.html"},
    {"host and port", "localhost:8080", "http://localhost:8080"},
    {"host, port and path", "example.com:81/x", "http://example.com:81/x"},
    {"IP and port", "127.0.0.1:8081/page?x=1", "http://127.0.0.1:8081/page?x=1"},
    {"IP and port, query right after", "10.0.0.1:80?x", "http://10.0.0.1:80?x"},
    {"IPv6 and port", "[::1]:8080/", "http://[::1]:8080/"},
    {"a colon after the path", "example.com/a:b", "http://example.com/a:b"},
    {"a single word", "intranet", "http://intranet"},
    {"protocol-relative", "//cdn.example.com/x", "http://cdn.example.com/x"},
    {"absolute path", "/tmp/a b.html", "file:///tmp/a%20b.html"},
    // Script addresses never run.
    {"javascript", "javascript:alert(1)", "about:blocked"},
    {"javascript in any case", "JavaScript:document.title='x'", "about:blocked"},
    {"javascript behind blanks", " \t javascript:alert(1)", "about:blocked"},
    {"a tab inside is escaped, so no script scheme forms", "java\tscript:alert(1)",
     "http://java%09script:alert(1)"},
    {"a line break inside likewise", "java\nscript:x", "http://java%0Ascript:x"},
    // Empty and blank texts: the engine's error page.
    {"empty", "", "about:invalid"},
    {"only blanks", "  \r\n", "about:invalid"},
    // Blanks at the ends go, inside they are escaped.
    {"blanks at the ends", "  http://example.com/  ", "http://example.com/"},
    {"a query keeps its trailing blank", "http://e.com/s?wd=abc ", "http://e.com/s?wd=abc%20"},
    {"a query of blanks only", "http://e.com/s?wd=  ", "http://e.com/s?wd=%20%20"},
    {"blank inside", "http://example.com/a b", "http://example.com/a%20b"},
    {"zero byte and DEL inside", std::string("http://e.com/a\0b\x7f" "c", 18), "http://e.com/a%00b%7Fc"},
    // GBK becomes UTF-8, then its bytes are escaped.
    {"Chinese path", "http://example.com/推广1.txt", "http://example.com/%E6%8E%A8%E5%B9%BF1.txt"},
    {"Chinese query", "https://www.baidu.com/s?wd=百度", "https://www.baidu.com/s?wd=%E7%99%BE%E5%BA%A6"},
    {"Chinese host without scheme", "中文.com", "http://%E4%B8%AD%E6%96%87.com"},
    {"the euro sign (0x80 in code page 936)", "http://e.com/\x80", "http://e.com/%E2%82%AC"},
    {"a byte that is no GBK becomes U+FFFD", "http://e.com/\xFF", "http://e.com/%EF%BF%BD"},
};

INSTANTIATE_TEST_SUITE_P(Table, WebAddress, testing::ValuesIn(kCases));

}  // namespace
}  // namespace velk::tk

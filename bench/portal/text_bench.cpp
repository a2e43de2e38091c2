// Throughput of the page cutting routines on a 2 MB GBK page and of the
// UTF-8 to GBK conversion on the same page in UTF-8, each beside the plain
// library routine that does the least the same job needs (memmem, iconv).
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "portal/gbk_text.h"
#include "portal/text_cut.h"

namespace velk {
namespace {

constexpr std::size_t kPageBytes = 2 << 20;
// Blocks found throughout the page (one every few kilobytes).
constexpr const char* kBlockMarker = "<div class=\"imagearea-bottom\">";
// Found nowhere: every find scans the whole page.
constexpr const char* kMissingMarker = "<div class=\"focusNews\">";

// A news-portal-like page: markup, Chinese headlines, image blocks.
const std::string& GbkPage() {
  static const std::string page = [] {
    const char* headlines[] = {"国内新闻头条", "财经：股市收盘上涨", "科技前沿动态",
                               "体育赛事回顾", "环球视野：今日要闻"};
    std::string out = "<html><head><title>新闻首页</title></head><body>\r\n";
    unsigned seed = 12345;
    for (int item = 0; out.size() < kPageBytes; ++item) {
      seed = seed * 1103515245 + 12345;
      out += "<li class=\"hdline";
      out += std::to_string(item % 6);
      out += "\"><a href=\"/n/";
      out += std::to_string(seed % 100000);
      out += ".html\" target=\"_blank\">";
      out += headlines[(seed >> 8) % 5];
      out += "</a></li>\r\n";
      if (item % 40 == 0) {
        out += kBlockMarker;
        out += "<img src=\"/p/" + std::to_string(item) + ".jpg\">图片说明</div>\r\n";
      }
    }
    out.resize(kPageBytes);
    return out;
  }();
  return page;
}

std::string Convert(const char* to, const char* from, const std::string& in) {
  iconv_t converter = iconv_open(to, from);
  std::string out(in.size() * 2, '\0');
  char* src = const_cast<char*>(in.data());
  char* dst = out.data();
  std::size_t src_left = in.size(), dst_left = out.size();
  const std::size_t result = iconv(converter, &src, &src_left, &dst, &dst_left);
  iconv_close(converter);
  // The page may end inside a character: what converted is enough.
  if (result == static_cast<std::size_t>(-1) && errno != EINVAL)
    throw std::runtime_error("iconv failed");
  out.resize(out.size() - dst_left);
  return out;
}

const std::string& Utf8Page() {
  static const std::string page = Convert("UTF-8", "CP936", GbkPage());
  return page;
}

void BM_CutBetween_MissingMarker_IgnoreCase(benchmark::State& state) {
  const std::string& page = GbkPage();
  for (auto _ : state) benchmark::DoNotOptimize(CutBetween(page, kMissingMarker, "</div>"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_CutBetween_MissingMarker_IgnoreCase);

void BM_CutBetween_MissingMarker_ExactCase(benchmark::State& state) {
  const std::string& page = GbkPage();
  for (auto _ : state)
    benchmark::DoNotOptimize(CutBetween(page, kMissingMarker, "</div>", 1, false));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_CutBetween_MissingMarker_ExactCase);

void BM_Memmem_MissingMarker(benchmark::State& state) {
  const std::string& page = GbkPage();
  for (auto _ : state)
    benchmark::DoNotOptimize(
        memmem(page.data(), page.size(), kMissingMarker, std::strlen(kMissingMarker)));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Memmem_MissingMarker);

void BM_CollectBlocks(benchmark::State& state) {
  const std::string& page = GbkPage();
  for (auto _ : state) benchmark::DoNotOptimize(CollectBlocks(page, kBlockMarker, 3, "</div>"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_CollectBlocks);

// What CollectBlocks must do at least: find every block marker and the cut
// marker after it.
void BM_Memmem_EveryBlock(benchmark::State& state) {
  const std::string& page = GbkPage();
  const std::size_t marker_size = std::strlen(kBlockMarker);
  for (auto _ : state) {
    const char* at = page.data();
    const char* end = page.data() + page.size();
    std::size_t found = 0;
    while (const void* hit = memmem(at, end - at, kBlockMarker, marker_size)) {
      at = static_cast<const char*>(hit) + marker_size;
      benchmark::DoNotOptimize(memmem(at, end - at, "</div>", 6));
      ++found;
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Memmem_EveryBlock);

void BM_Utf8ToGbk(benchmark::State& state) {
  const std::string& page = Utf8Page();
  Utf8ToGbk("warm up the table");
  for (auto _ : state) benchmark::DoNotOptimize(Utf8ToGbk(page));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Utf8ToGbk);

void BM_Iconv_Utf8ToCp936(benchmark::State& state) {
  const std::string& page = Utf8Page();
  iconv_t converter = iconv_open("CP936", "UTF-8");
  std::string out(page.size(), '\0');
  for (auto _ : state) {
    char* src = const_cast<char*>(page.data());
    char* dst = out.data();
    std::size_t src_left = page.size(), dst_left = out.size();
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(iconv(converter, &src, &src_left, &dst, &dst_left));
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(converter);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_Iconv_Utf8ToCp936);

}  // namespace
}  // namespace velk

BENCHMARK_MAIN();

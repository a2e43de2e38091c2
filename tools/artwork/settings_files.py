"""The INI files laid down beside Velk, as shipped: GBK, CRLF line ends,
no blanks around '=', a CRLF after the last line."""

# (title as shipped, home page) of the twelve tiles, in tile order.
TILES = [
    ("百度一下，你就知道", "http://www.baidu.com/"),
    ("新浪网", "http://www.sina.com.cn/"),
    ("腾讯网", "http://www.qq.com/"),
    ("淘宝网", "http://www.taobao.com/"),
    ("京东网购", "http://www.jd.com/"),
    ("优酷影视", "http://www.youku.com/"),
    ("新浪新闻", "http://news.sina.com.cn/"),
    ("聚美优品", "http://www.jumei.com/"),
    ("中关村在线", "http://www.zol.com.cn/"),
    ("百姓网", "http://www.baixing.com/"),
    ("1号店", "http://www.yhd.com/"),
    ("赶集网", "http://www.ganji.com/"),
]

SHIPPED_SKIN = "皮肤3"
FINANCE_NEWS = "http://finance.sina.com.cn/"


def ini_bytes(lines):
    return "".join(line + "\r\n" for line in lines).encode("gbk")


def skin_file():
    return ini_bytes(["[Marun]", "皮肤=" + SHIPPED_SKIN])


def tiles_file():
    lines = []
    for number, (title, address) in enumerate(TILES, start=1):
        lines += [f"[标签{number}]", "标题=" + title, "地址=" + address]
    return ini_bytes(lines)


def recent_file():
    return ini_bytes(["[最近]", "标签1=" + FINANCE_NEWS, "标签1.地址=" + FINANCE_NEWS])


def write_all(tree):
    """Writes the three files into the install tree folder; returns their paths."""
    outputs = {
        "velkEc.ec": skin_file(),
        "velkZui.t": tiles_file(),
        "velkZui.ec": recent_file(),
    }
    paths = []
    for name, data in outputs.items():
        path = tree / name
        path.write_bytes(data)
        paths.append(path)
    return paths

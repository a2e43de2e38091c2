[最近]
标签1=http://finance.sina.com.cn/
标签1.地址=http://finance.sina.com.cn/

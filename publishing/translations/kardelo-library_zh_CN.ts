<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>AudioCheck</name>
    <message>
        <source>the audio %1 is not there (%2)</source>
        <translation>音频 %1 不存在（%2）</translation>
    </message>
    <message>
        <source>the audio %1 is an HTML page: the client would store the page as the lecture</source>
        <translation>音频 %1 是一个 HTML 网页：客户端会把网页存为讲座</translation>
    </message>
    <message>
        <source>the audio %1 does not answer (%2)</source>
        <translation>音频 %1 没有应答（%2）</translation>
    </message>
    <message>
        <source>the audio %1 answers %2: the client cannot download it</source>
        <translation>音频 %1 应答 %2：客户端无法下载</translation>
    </message>
    <message>
        <source>the audio %1 is served without &quot;Accept-Ranges: bytes&quot;: a broken download starts over</source>
        <translation>音频 %1 的应答没有“Accept-Ranges: bytes”：中断的下载只能从头开始</translation>
    </message>
    <message>
        <source>the audio %1 is served with neither a strong ETag nor Last-Modified: a broken download starts over</source>
        <translation>音频 %1 的应答既无强 ETag 也无 Last-Modified：中断的下载只能从头开始</translation>
    </message>
    <message>
        <source>%1 audio address(es) lie outside the folder&apos;s address (--root) and were not checked, this one the first: %2</source>
        <translation>%1 个音频地址不在此文件夹的网址（--root）之下，未检查，首个为：%2</translation>
    </message>
</context>
<context>
    <name>BuildCommand</name>
    <message>
        <source>unknown option %1 (see --help)</source>
        <translation>未知选项 %1（见 --help）</translation>
    </message>
    <message>
        <source>--root needs a URL</source>
        <translation>--root 后须跟网址</translation>
    </message>
    <message>
        <source>--root %1 is not an http:// or https:// address ending in /</source>
        <translation>--root %1 不是以 / 结尾的 http:// 或 https:// 地址</translation>
    </message>
    <message>
        <source>the source folder %1 does not exist</source>
        <translation>源文件夹 %1 不存在</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 不是文件夹</translation>
    </message>
    <message>
        <source>refused: %1 error(s), %2 warning(s); %3 was left as it was
</source>
        <translation>已拒绝：%1 个错误，%2 个警告；%3 未作改动
</translation>
    </message>
    <message>
        <source>wrote %1
</source>
        <translation>已写入 %1
</translation>
    </message>
    <message>
        <source>removed %1
</source>
        <translation>已删除 %1
</translation>
    </message>
    <message>
        <source>built %1: %2 file(s), %3 written, %4 unchanged, %5 removed, %6 warning(s)
</source>
        <translation>已生成 %1：%2 个文件，写入 %3 个，未变 %4 个，删除 %5 个，%6 个警告
</translation>
    </message>
    <message>
        <source>Usage: kardelo-library build [--root URL] SOURCE OUT

Writes the library in OUT from its UTF-8 sources in SOURCE (version.txt,
catalogue.txt, lectures/&lt;UpdateDate&gt;.txt): GB2312 with CR LF after every line,
OUT/version.txt, OUT/lists/catalogue.txt, each lecture list under the name
the client asks for, and OUT/lists/library-index.txt, all of them in one text.
Stale files in OUT/lists are removed; pages and audio are left alone.
Whatever the client could not read back is refused as
FILE:LINE: error: message, and then nothing is written.

  --root URL  what {root} in the sources stands for: an http:// or https://
              address ending in /, where OUT will be served
  -h, --help  this text

Exit status: 0 built, 1 refused, 2 cannot run.
</source>
        <translation>用法：kardelo-library build [--root 网址] 源文件夹 输出文件夹

由源文件夹中的 UTF-8 源文件（version.txt、catalogue.txt、lectures/&lt;更新日期&gt;.txt）
在输出文件夹中生成讲座库：GB2312 编码，每行以 CR LF 结尾；写出 version.txt、
lists/catalogue.txt、按客户端所要的文件名写出的各讲座列表，以及把这些汇成一个
文本的 lists/library-index.txt。lists 中过时的文件会被删除，网页和音频不动。
客户端无法读回的内容一律拒绝，报告为 文件:行: 错误: 说明，此时什么也不写。

  --root 网址  源文件中 {root} 所代表的地址：以 / 结尾的 http:// 或 https://
               地址，即输出文件夹将来的网址
  -h, --help   显示本说明

退出状态：0 已生成，1 被拒绝，2 无法运行。
</translation>
    </message>
</context>
<context>
    <name>CheckCommand</name>
    <message>
        <source>unknown option %1</source>
        <translation>未知选项 %1</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 需要一个值</translation>
    </message>
    <message>
        <source>--jobs takes a number from 1 to 64, not &quot;%1&quot;</source>
        <translation>--jobs 需要 1 到 64 的数，而不是“%1”</translation>
    </message>
    <message>
        <source>a library&apos;s address is its root and ends in &quot;/&quot;: %1</source>
        <translation>讲座库的网址是其根网址，以“/”结尾：%1</translation>
    </message>
    <message>
        <source>--root takes the http(s) address a folder will be served at, ending in &quot;/&quot;</source>
        <translation>--root 需要文件夹将发布的 http(s) 网址，以“/”结尾</translation>
    </message>
    <message>
        <source>Usage: kardelo-library check [--json] [--jobs N] [--root URL] DIR-or-URL

Reads a library as the client will and reports what would hurt its listeners: lines the client
drops, conferences without lectures, stored names that clash or are too long, text that is not
GB2312, a version file the client cannot read, a library index that is cut short or says other
than the lists, audio that is missing, fails or is a web page, and (over HTTP) audio whose broken
downloads cannot resume.

  DIR-or-URL  a built library folder, or the library&apos;s root over http(s), ending in &quot;/&quot;
  --root URL  (folder) the address the folder will be served at: audio addresses below it are
              looked for as files in the folder; others are not checked
  --jobs N    HTTP requests at once (default 4)
  --json      one JSON object instead of text

Exit status: 0 fit to publish (warnings allowed), 1 not fit, 2 cannot check.
</source>
        <translation>用法：kardelo-library check [--json] [--jobs N] [--root 网址] 文件夹或网址

像客户端一样读取讲座库，报告会影响听众的问题：客户端丢弃的行、没有讲座的会议、
重复或过长的保存文件名、不是 GB2312 的文字、客户端读不懂的版本文件、被截断或与
列表不符的讲座库索引、缺失、出错或是网页的音频，以及（经 HTTP 时）中断后无法续传
的音频。

  文件夹或网址  生成好的讲座库文件夹，或讲座库经 http(s) 的根网址（以“/”结尾）
  --root 网址   （文件夹）此文件夹将发布的网址：其下的音频地址在文件夹中查找；
                其他地址不检查
  --jobs N      同时进行的 HTTP 请求数（默认 4）
  --json        以一个 JSON 对象代替文字输出

退出状态：0 可以发布（允许有警告），1 不宜发布，2 无法检查。
</translation>
    </message>
</context>
<context>
    <name>CheckReportOutput</name>
    <message>
        <source>%1: fit to publish: %2 errors, %3 warnings; %4 HTTP requests in %5 s
</source>
        <translation>%1：可以发布：%2 个错误，%3 个警告；%4 个 HTTP 请求，用时 %5 秒
</translation>
    </message>
    <message>
        <source>%1: not fit to publish: %2 errors, %3 warnings; %4 HTTP requests in %5 s
</source>
        <translation>%1：不宜发布：%2 个错误，%3 个警告；%4 个 HTTP 请求，用时 %5 秒
</translation>
    </message>
</context>
<context>
    <name>FindingText</name>
    <message>
        <source>error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>警告</translation>
    </message>
</context>
<context>
    <name>KardeloLibrary</name>
    <message>
        <source>Usage: kardelo-library build [--root URL] SOURCE OUT
       kardelo-library check [--json] [--jobs N] [--root URL] DIR-or-URL

build  writes the GB2312 library (CR LF lines, the version file, the lecture
       lists under the names the client asks for) from UTF-8 sources
check  reads a library from a folder or over HTTP as the client does, and
       reports what would hurt its listeners

&quot;kardelo-library COMMAND --help&quot; says more; &quot;man kardelo-library&quot; says all.
</source>
        <translation>用法：kardelo-library build [--root 网址] 源文件夹 输出文件夹
      kardelo-library check [--json] [--jobs N] [--root 网址] 文件夹或网址

build  由 UTF-8 源文件生成 GB2312 讲座库（CR LF 行尾、版本文件、客户端所要的
       讲座列表文件名）
check  像客户端一样从文件夹或经 HTTP 读取讲座库，报告会影响听众的问题

“kardelo-library 命令 --help”有详细说明；“man kardelo-library”有全部说明。
</translation>
    </message>
</context>
<context>
    <name>LectureRecordsCheck</name>
    <message>
        <source>the client cannot cut this line into Title%Detail$Note*DownloadAddress (a &quot;$&quot; missing, or the markers out of order): its row shows the row before&apos;s text</source>
        <translation>客户端无法把此行分为 标题%详情$备注*下载地址（缺“$”或标记顺序错误）：该行显示前一行的文字</translation>
    </message>
    <message>
        <source>no download address after the &quot;*&quot;</source>
        <translation>“*”之后没有下载地址</translation>
    </message>
    <message>
        <source>the part before the &quot;*&quot; is no file name (empty, &quot;.&quot;, &quot;..&quot;, or holding &quot;/&quot;, &quot;\&quot; or a control character): the client will not download it</source>
        <translation>“*”之前的部分不能作文件名（为空、“.”、“..”，或含“/”“\”或控制字符）：客户端不会下载它</translation>
    </message>
    <message>
        <source>the stored file&apos;s name &quot;%1&quot; has %2 bytes; file systems take at most %3</source>
        <translation>保存的文件名“%1”有 %2 字节；文件系统最多接受 %3 字节</translation>
    </message>
    <message>
        <source>stored as &quot;%1&quot; like line %2: one download overwrites the other in the favourites</source>
        <translation>与第 %2 行同样保存为“%1”：收藏夹中一个下载会覆盖另一个</translation>
    </message>
</context>
<context>
    <name>LibraryBuild</name>
    <message>
        <source>no %1 marker: the client would say the network is down and end; write the release date before it, e.g. 20140202%1</source>
        <translation>没有 %1 标记：客户端会提示网络无法连接并退出；请在标记前写发布日期，如 20140202%1</translation>
    </message>
    <message>
        <source>the client asks for this conference&apos;s lectures as lists/%1, like the conference on line %2; give it another UpdateDate</source>
        <translation>客户端按 lists/%1 读取此会议的讲座，与第 %2 行的会议相同；请换一个更新日期</translation>
    </message>
    <message>
        <source>no %1 for this conference</source>
        <translation>此会议没有 %1</translation>
    </message>
    <message>
        <source>belongs to no conference of catalogue.txt and is not built</source>
        <translation>不属于 catalogue.txt 中的任何会议，不会生成</translation>
    </message>
    <message>
        <source>%1 is used but no --root URL says what it stands for</source>
        <translation>用到了 %1，但没有用 --root 网址指明它代表什么</translation>
    </message>
    <message>
        <source>only one of &quot;%&quot; and &quot;*&quot;: the client drops this line</source>
        <translation>只有“%”和“*”中的一个：客户端会丢弃此行</translation>
    </message>
    <message>
        <source>%1 characters: the client passes over lines longer than %2</source>
        <translation>%1 个字符：客户端会跳过长于 %2 个字符的行</translation>
    </message>
    <message>
        <source>%1 has no GB2312 code</source>
        <translation>%1 没有 GB2312 编码</translation>
    </message>
    <message>
        <source>the client would not read this line back as written</source>
        <translation>客户端读回的此行与所写的不同</translation>
    </message>
</context>
<context>
    <name>LibraryCheck</name>
    <message>
        <source>cannot be read: %1</source>
        <translation>无法读取：%1</translation>
    </message>
    <message>
        <source>no such folder: %1</source>
        <translation>没有此文件夹：%1</translation>
    </message>
    <message>
        <source>no line the client keeps: it ends at start</source>
        <translation>没有客户端保留的行：客户端启动即退出</translation>
    </message>
    <message>
        <source>the client cannot read an UpdateDate from this line (its &quot;*&quot; comes before its &quot;%&quot;): the row shows the row before&apos;s date and opens its lecture list</source>
        <translation>客户端无法从此行读出更新日期（“*”在“%”之前）：该行显示前一行的日期并打开其讲座列表</translation>
    </message>
    <message>
        <source>the conference&apos;s lecture list %1 cannot be read (%2): entering it ends the client</source>
        <translation>此会议的讲座列表 %1 无法读取（%2）：进入会议时客户端会退出</translation>
    </message>
    <message>
        <source>no lecture line the client keeps (catalogue line %1): entering the conference ends the client</source>
        <translation>没有客户端保留的讲座行（目录第 %1 行）：进入会议时客户端会退出</translation>
    </message>
    <message>
        <source>no library index: a reader that learns the whole library in one request has to fetch every list instead; kardelo-library build writes it</source>
        <translation>没有讲座库索引：想用一次请求得知整个讲座库的读取方只能逐个读取各列表；kardelo-library build 会生成它</translation>
    </message>
</context>
<context>
    <name>LibraryIndexCheck</name>
    <message>
        <source>it does not start with the line &quot;%1&quot;</source>
        <translation>第一行不是“%1”</translation>
    </message>
    <message>
        <source>a lecture (L) line before any conference (C) line</source>
        <translation>讲座（L）行出现在任何会议（C）行之前</translation>
    </message>
    <message>
        <source>no E line at its end, so it was cut short</source>
        <translation>末尾没有 E 行，文件被截断了</translation>
    </message>
    <message>
        <source>the counts of its E line differ from the C and L lines above it: lines were lost or added</source>
        <translation>E 行的计数与其上的 C 行、L 行不符：有行丢失或多出</translation>
    </message>
    <message>
        <source>text after its E line</source>
        <translation>E 行之后还有文字</translation>
    </message>
    <message>
        <source>%1; a reader refuses the whole index, and kardelo-library build writes it afresh</source>
        <translation>%1；读取方会拒绝整个索引，kardelo-library build 会重新生成它</translation>
    </message>
    <message>
        <source>the index lacks the conference of catalogue line %1</source>
        <translation>索引缺少目录第 %1 行的会议</translation>
    </message>
    <message>
        <source>the index has a conference the catalogue does not: %1</source>
        <translation>索引中有目录所没有的会议：%1</translation>
    </message>
    <message>
        <source>the index has the catalogue&apos;s conferences in another order from catalogue line %1 on</source>
        <translation>自目录第 %1 行起，索引中会议的顺序与目录不同</translation>
    </message>
    <message>
        <source>for the conference of catalogue line %1, the index lacks line %2 of %3</source>
        <translation>目录第 %1 行的会议：索引缺少 %3 的第 %2 行</translation>
    </message>
    <message>
        <source>for the conference of catalogue line %1, the index has a lecture %2 does not: %3</source>
        <translation>目录第 %1 行的会议：索引中有 %2 所没有的讲座：%3</translation>
    </message>
    <message>
        <source>for the conference of catalogue line %1, the index has the lectures of %2 in another order from its line %3 on</source>
        <translation>目录第 %1 行的会议：自 %2 的第 %3 行起，索引中讲座的顺序与该列表不同</translation>
    </message>
    <message>
        <source>%1; the lists win, and kardelo-library build writes the index afresh</source>
        <translation>%1；以列表为准，kardelo-library build 会重新生成索引</translation>
    </message>
    <message>
        <source>a line that is none of an index&apos;s: C, L or E followed by a tab, and the E line with two counts</source>
        <translation>有一行不是索引的行：索引行只能以 C、L 或 E 加制表符开头，E 行带两个计数</translation>
    </message>
</context>
<context>
    <name>LibrarySource</name>
    <message>
        <source>no answer from %1 (or more than the client reads)</source>
        <translation>%1 没有应答（或超出客户端读取的大小）</translation>
    </message>
    <message>
        <source>%1 answers HTTP %2</source>
        <translation>%1 应答 HTTP %2</translation>
    </message>
    <message>
        <source>%1 does not exist</source>
        <translation>%1 不存在</translation>
    </message>
    <message>
        <source>%1 is larger than the client reads (%2 bytes)</source>
        <translation>%1 超出客户端读取的大小（%2 字节）</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 无法读取：%2</translation>
    </message>
</context>
<context>
    <name>LibraryWriter</name>
    <message>
        <source>cannot make the folder %1/lists</source>
        <translation>无法创建文件夹 %1/lists</translation>
    </message>
    <message>
        <source>cannot write into %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>cannot put %1 in place: %2</source>
        <translation>无法放置 %1：%2</translation>
    </message>
    <message>
        <source>cannot remove the stale %1</source>
        <translation>无法删除过时的 %1</translation>
    </message>
</context>
<context>
    <name>RecordLineRules</name>
    <message>
        <source>%1 %2 holds the marker &quot;%3&quot;: the client cuts the line at the first &quot;%&quot;, &quot;$&quot; and &quot;*&quot;, so this field is not what it seems</source>
        <translation>%1 %2 中含有标记“%3”：客户端在第一个“%”“$”“*”处切分，此字段会被切错</translation>
    </message>
    <message>
        <source>%1 %2 holds &quot;%3&quot;, which cannot be part of the name a downloaded lecture is stored under</source>
        <translation>%1 %2 中含有“%3”，不能用在下载后保存的文件名中</translation>
    </message>
    <message>
        <source>&quot;*&quot; before &quot;%&quot;: expected Title%UpdateDate*Rest</source>
        <translation>“*”在“%”之前：应为 标题%更新日期*其余</translation>
    </message>
    <message>
        <source>no UpdateDate between &quot;%&quot; and &quot;*&quot;: it names the lecture list</source>
        <translation>“%”与“*”之间没有更新日期：讲座列表以它命名</translation>
    </message>
    <message>
        <source>UpdateDate %1 holds a second &quot;%&quot;: the client takes all from the first &quot;%&quot; to the first &quot;*&quot; as the date</source>
        <translation>更新日期 %1 中有第二个“%”：客户端把第一个“%”到第一个“*”之间的全部当作日期</translation>
    </message>
    <message>
        <source>UpdateDate %1 holds &quot;%2&quot;, which cannot be part of the lecture list&apos;s file name</source>
        <translation>更新日期 %1 中含有“%2”，不能用在讲座列表的文件名中</translation>
    </message>
    <message>
        <source>&quot;*&quot; before &quot;%&quot;: expected Title%Detail$Note*Address</source>
        <translation>“*”在“%”之前：应为 标题%详情$备注*下载地址</translation>
    </message>
    <message>
        <source>no &quot;$&quot; between &quot;%&quot; and &quot;*&quot;: expected Title%Detail$Note*Address</source>
        <translation>“%”与“*”之间没有“$”：应为 标题%详情$备注*下载地址</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>标题</translation>
    </message>
    <message>
        <source>Detail</source>
        <translation>详情</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>备注</translation>
    </message>
    <message>
        <source>&quot;zip&quot; in the stored name: the client turns every &quot;zip&quot; into &quot;wma&quot; when the lecture is played, and would not find it</source>
        <translation>保存的文件名中有“zip”：播放时客户端把每个“zip”换成“wma”，会找不到文件</translation>
    </message>
    <message>
        <source>the address %1 is not an absolute http:// or https:// address</source>
        <translation>地址 %1 不是完整的 http:// 或 https:// 地址</translation>
    </message>
</context>
<context>
    <name>RecordLinesCheck</name>
    <message>
        <source>not GB2312 from this line on (it looks like UTF-8): the client shows it garbled</source>
        <translation>自此行起不是 GB2312（看来是 UTF-8）：客户端显示为乱码</translation>
    </message>
    <message>
        <source>bytes that are not GB2312 from this line on: the client shows them as �</source>
        <translation>自此行起有不属于 GB2312 的字节：客户端显示为 �</translation>
    </message>
    <message>
        <source>%1 line(s) from here on end in a line feed without CR: the client reads each as one with the next</source>
        <translation>自此行起有 %1 行只以换行符结尾（缺 CR）：客户端把它与下一行连成一行</translation>
    </message>
    <message>
        <source>the last line has no CR LF after it: the client never reads it</source>
        <translation>最后一行之后没有 CR LF：客户端不会读取它</translation>
    </message>
    <message>
        <source>%1 characters: the client passes over lines longer than %2</source>
        <translation>%1 个字符：客户端跳过长于 %2 个字符的行</translation>
    </message>
    <message>
        <source>no &quot;%1&quot;: the client drops this line (a record is %2)</source>
        <translation>缺少“%1”：客户端丢弃此行（记录格式为 %2）</translation>
    </message>
</context>
<context>
    <name>SourceText</name>
    <message>
        <source>cannot be read: %1</source>
        <translation>无法读取：%1</translation>
    </message>
    <message>
        <source>not UTF-8 text; save the source as UTF-8</source>
        <translation>不是 UTF-8 文本；请把源文件存为 UTF-8</translation>
    </message>
    <message>
        <source>carriage return in a source; save it with plain line feeds, the build adds CR LF itself</source>
        <translation>源文件中有回车符（CR）；请以 LF 换行保存，生成时会自动加上 CR LF</translation>
    </message>
</context>
<context>
    <name>VersionFileCheck</name>
    <message>
        <source>no &quot;%1&quot; (case counts): every client says the network is down and ends at start</source>
        <translation>没有“%1”（区分大小写）：每个客户端启动时都会提示网络无法链接并退出</translation>
    </message>
    <message>
        <source>&quot;%1&quot; before &quot;%2&quot; reads as no version: no client is ever offered a new release</source>
        <translation>“%2”之前的“%1”读不出版本：任何客户端都不会得到新版本的提示</translation>
    </message>
    <message>
        <source>publishes %1, older than this release (%2): users of older releases are not offered this one</source>
        <translation>发布的版本 %1 早于本版本（%2）：旧版本的用户不会得到本版本的提示</translation>
    </message>
</context>
</TS>

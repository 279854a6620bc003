<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CommandLine</name>
    <message>
        <source>无法加载设备库：%1</source>
        <translation>Cannot load the device library: %1</translation>
    </message>
    <message>
        <source>设备库缺少入口 %1</source>
        <translation>The device library lacks the entry point %1</translation>
    </message>
    <message>
        <source>保存或恢复 Z31 鼠标的全部设置。不带参数时打开程序窗口。</source>
        <translation>Saves or restores all settings of the Z31 mouse. Without arguments, opens the program window.</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>file</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>Unexpected arguments: %1</translation>
    </message>
    <message>
        <source>请只给出一个 --export 文件 或 --import 文件（--help 显示用法）</source>
        <translation>Give exactly one --export file or --import file (--help shows usage)</translation>
    </message>
    <message>
        <source>没有找到鼠标</source>
        <translation>No mouse found</translation>
    </message>
    <message>
        <source>已导出配置到 %1</source>
        <translation>Profile exported to %1</translation>
    </message>
    <message>
        <source>已从 %1 导入配置</source>
        <translation>Profile imported from %1</translation>
    </message>
    <message>
        <source>标准输出</source>
        <translation>standard output</translation>
    </message>
    <message>
        <source>标准输入</source>
        <translation>standard input</translation>
    </message>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>把鼠标的全部设置导出到配置文件（- 为标准输出）</source>
        <translation>Export all of the mouse&apos;s settings to a profile (- for standard output)</translation>
    </message>
    <message>
        <source>从配置文件导入鼠标的全部设置（- 为标准输入）</source>
        <translation>Import all of the mouse&apos;s settings from a profile (- for standard input)</translation>
    </message>
    <message>
        <source>不带 --export 或 --import 时，程序窗口接受 Qt 的选项：%1</source>
        <translation>Without --export or --import, the program window takes Qt&apos;s options: %1</translation>
    </message>
    <message>
        <source>文件名为空（--help 显示用法）</source>
        <translation>The file name is empty (--help shows the usage)</translation>
    </message>
    <message>
        <source>程序窗口没有完成导出就退出了</source>
        <translation>The program window ended before the export was done</translation>
    </message>
    <message>
        <source>程序窗口没有完成导入就退出了：鼠标上的设置可能不完整，请重新导入</source>
        <translation>The program window ended before the import was done: the mouse&apos;s settings may be incomplete, import again</translation>
    </message>
    <message>
        <source>本程序的另一个进程正在使用鼠标，%1 秒后仍未结束：请稍后再试</source>
        <translation>Another run of this program is using the mouse and has not finished after %1 s: try again later</translation>
    </message>
    <message>
        <source>无法创建锁文件 %1</source>
        <translation>Cannot create the lock file %1</translation>
    </message>
    <message>
        <source>程序窗口收到的请求有误</source>
        <translation>The program window received a malformed request</translation>
    </message>
    <message>
        <source>正在升级固件：请等升级结束后再导入或导出配置</source>
        <translation>A firmware update is running: import or export once it has finished</translation>
    </message>
    <message>
        <source>已中断，没有写入文件</source>
        <translation>Interrupted; the file was not written</translation>
    </message>
    <message>
        <source>程序窗口 %1 秒内没有完成导出：没有写入文件</source>
        <translation>The program window did not finish the export within %1 s: the file was not written</translation>
    </message>
    <message>
        <source>程序窗口 %1 秒内没有完成导入：它若已开始写入鼠标，会写完这份配置，否则不写入</source>
        <translation>The program window did not finish the import within %1 s: if it has begun writing the mouse it finishes this configuration, otherwise it writes nothing</translation>
    </message>
    <message>
        <source>已中断：程序窗口若已开始写入鼠标，会写完这份配置，否则不写入</source>
        <translation>Interrupted: if the program window has begun writing the mouse it finishes this configuration, otherwise it writes nothing</translation>
    </message>
    <message>
        <source>已中断，没有写入鼠标</source>
        <translation>Interrupted; nothing was written to the mouse</translation>
    </message>
    <message>
        <source>程序窗口在写入鼠标之前退出了：鼠标上的设置没有改动</source>
        <translation>The program window ended before writing the mouse: the mouse&apos;s settings are unchanged</translation>
    </message>
    <message>
        <source>无法创建 %1</source>
        <translation>cannot create %1</translation>
    </message>
    <message>
        <source>%1 不是文件夹</source>
        <translation>%1 is not a folder</translation>
    </message>
    <message>
        <source>%1 属于另一个用户</source>
        <translation>%1 belongs to another user</translation>
    </message>
    <message>
        <source>其他用户也能进入 %1</source>
        <translation>other users can enter %1</translation>
    </message>
    <message>
        <source>找不到只属于本用户的运行文件夹（%1）：请设置 XDG_RUNTIME_DIR 为本用户权限 0700 的文件夹</source>
        <translation>No runtime folder of this user&apos;s alone (%1): set XDG_RUNTIME_DIR to a folder of this user&apos;s with mode 0700</translation>
    </message>
    <message>
        <source>正在等待：本程序的另一个进程正在使用鼠标（最多等 %1 秒）</source>
        <translation>Waiting: another run of this program is using the mouse (for up to %1 s)</translation>
    </message>
    <message>
        <source>正在等待程序窗口答复（最多等 %1 秒）</source>
        <translation>Waiting for the program window to answer (for up to %1 s)</translation>
    </message>
</context>
<context>
    <name>DPILeft</name>
    <message>
        <source>DPI灵敏度数量</source>
        <translation>DPI levels</translation>
    </message>
    <message>
        <source>级别数量</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>级别I</source>
        <translation>Level 1</translation>
    </message>
    <message>
        <source>级别II</source>
        <translation>Level 2</translation>
    </message>
    <message>
        <source>级别III</source>
        <translation>Level 3</translation>
    </message>
    <message>
        <source>级别IV</source>
        <translation>Level 4</translation>
    </message>
    <message>
        <source>级别V</source>
        <translation>Level 5</translation>
    </message>
    <message>
        <source>级别数量 %1</source>
        <translation>Count %1</translation>
    </message>
    <message>
        <source>鼠标的 DPI 键依次切换的级别数</source>
        <translation>How many levels the mouse’s DPI key steps through</translation>
    </message>
    <message>
        <source>%1：%2 DPI</source>
        <translation>%1: %2 DPI</translation>
    </message>
</context>
<context>
    <name>FirmwareTransfer</name>
    <message>
        <source>正在升级固件...%1%</source>
        <translation>Updating firmware... %1%</translation>
    </message>
</context>
<context>
    <name>FirmwareUpdate</name>
    <message>
        <source>升级过程中，请勿断开USB连接。中断升级可能会导致鼠标无法使用。固件升级约需要1分钟，在此期间，鼠标将无法使用。</source>
        <translation>Keep the mouse plugged in: an interrupted update can leave it unusable. The mouse is unavailable for about a minute.</translation>
    </message>
</context>
<context>
    <name>MacroEditDialog</name>
    <message>
        <source>编辑宏</source>
        <translation>Edit macro</translation>
    </message>
    <message>
        <source>按键</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>动作</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>延迟(毫秒)</source>
        <translation>Delay (ms)</translation>
    </message>
    <message>
        <source>用于所选事件</source>
        <translation>Apply to selected</translation>
    </message>
    <message>
        <source>用于全部事件</source>
        <translation>Apply to all</translation>
    </message>
    <message>
        <source>记录延迟</source>
        <translation>Record delays</translation>
    </message>
    <message>
        <source>在前面插入按键</source>
        <translation>Insert key before</translation>
    </message>
    <message>
        <source>在后面插入按键</source>
        <translation>Insert key after</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Move up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Move down</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>宏事件</source>
        <translation>Macro events</translation>
    </message>
    <message>
        <source>松开</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>按下</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>已发送到鼠标</source>
        <translation>Sent to the mouse</translation>
    </message>
    <message>
        <source>事件 %1：宏最多只能有 %2 个事件</source>
        <translation>Event %1: a macro holds at most %2 events</translation>
    </message>
    <message>
        <source>事件 %1：%2 在按下之前被松开</source>
        <translation>Event %1: %2 is released before it is pressed</translation>
    </message>
    <message>
        <source>事件 %1：%2 按下后直到结尾都没有松开</source>
        <translation>Event %1: %2 is still pressed at the end</translation>
    </message>
    <message>
        <source>事件 %1：延迟 %2 毫秒超出 0 到 %3 毫秒</source>
        <translation>Event %1: the delay of %2 ms is beyond 0 to %3 ms</translation>
    </message>
    <message>
        <source>插入其他按键</source>
        <translation>Insert other key</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Go back</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>Delete 删除所选事件，Ctrl+上下方向键移动它们，Enter 修改延迟，Ctrl+Z 撤销，Ctrl+Y 重做</source>
        <translation>Delete removes the selected events, Ctrl+Up and Ctrl+Down move them, Enter changes the delay, Ctrl+Z undoes, Ctrl+Y redoes</translation>
    </message>
    <message>
        <source>Esc、Tab 等等待按键时不能输入的按键，插入到所选事件之后</source>
        <translation>Esc, Tab and other keys that cannot be typed while a key is awaited, inserted after the selected events</translation>
    </message>
    <message>
        <source>编辑宏：按键 %1</source>
        <translation>Edit macro: button %1</translation>
    </message>
    <message>
        <source>请按下要插入的按键，按 Esc 取消</source>
        <translation>Press the key to insert; Esc cancels</translation>
    </message>
    <message>
        <source>宏有未保存的修改：保存、不保存，还是返回编辑？</source>
        <translation>The macro has unsaved changes: save, discard, or go back?</translation>
    </message>
    <message>
        <source>宏是空的，不能保存：要清除这个按键，请在功能键中选择“禁用”</source>
        <translation>An empty macro cannot be saved: to clear the button, choose "Disabled"</translation>
    </message>
    <message>
        <source>第一个事件的延迟总是 0：它之前没有要等的事件</source>
        <translation>The first event’s delay is always 0: there is nothing before it to wait for</translation>
    </message>
    <message>
        <source>同时删除了配对的事件 %1，按键不会只按下或只松开</source>
        <translation>Also deleted the paired event %1, so that no key is left pressed or released alone</translation>
    </message>
    <message>
        <source>已在开头，不能再上移</source>
        <translation>Already at the start: cannot move up</translation>
    </message>
    <message>
        <source>已在结尾，不能再下移</source>
        <translation>Already at the end: cannot move down</translation>
    </message>
    <message>
        <source>不能移动：按键会在按下之前松开</source>
        <translation>Cannot move: a key would be released before it is pressed</translation>
    </message>
    <message>
        <source>鼠标不能发送这个按键：宏里没有音量、媒体和浏览器按键</source>
        <translation>The mouse cannot send this key: no volume, media or browser keys</translation>
    </message>
</context>
<context>
    <name>Nav_Bar</name>
    <message>
        <source>按键设置</source>
        <translation>Buttons</translation>
    </message>
    <message>
        <source>灯光设置</source>
        <translation>Lighting</translation>
    </message>
    <message>
        <source>指针设置</source>
        <translation>Pointer</translation>
    </message>
    <message>
        <source>页面</source>
        <translation>Pages</translation>
    </message>
</context>
<context>
    <name>PopBox</name>
    <message>
        <source>请确认操作</source>
        <translation>Please confirm</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ProfileDevice</name>
    <message>
        <source>鼠标没有应答灯光、DPI 或报告率的读取</source>
        <translation>The mouse did not answer when its lighting, DPI or report rate was read</translation>
    </message>
    <message>
        <source>鼠标没有应答固件版本的读取</source>
        <translation>The mouse did not answer when its firmware version was read</translation>
    </message>
    <message>
        <source>鼠标没有应答按键 %1 的读取</source>
        <translation>The mouse did not answer when button %1 was read</translation>
    </message>
    <message>
        <source>鼠标没有应答按键 %1 的宏的读取</source>
        <translation>The mouse did not answer when button %1&apos;s macro was read</translation>
    </message>
    <message>
        <source>写入后读回失败：%1</source>
        <translation>Reading back after writing failed: %1</translation>
    </message>
    <message>
        <source>鼠标拒绝了按键 %1 的宏的写入</source>
        <translation>The mouse refused button %1&apos;s macro</translation>
    </message>
    <message>
        <source>写入后读回的设置与写入的不同：%1</source>
        <translation>The settings read back differ from those written: %1</translation>
    </message>
    <message>
        <source>写入前读取鼠标失败，未写入任何设置：%1</source>
        <translation>Reading the mouse before writing failed; nothing was written: %1</translation>
    </message>
    <message>
        <source>%1。鼠标已恢复为导入前的设置</source>
        <translation>%1. The mouse has its settings from before the import again</translation>
    </message>
    <message>
        <source>%1。恢复导入前的设置也失败了（%2），鼠标上的设置不完整：请重新导入</source>
        <translation>%1. Putting back the settings from before the import failed too (%2); the mouse&apos;s settings are incomplete: import again</translation>
    </message>
    <message>
        <source>导入已取消，未写入任何设置</source>
        <translation>Import called off; nothing was written</translation>
    </message>
</context>
<context>
    <name>ProfileFile</name>
    <message>
        <source>读取鼠标失败，未写入文件：%1</source>
        <translation>Reading the mouse failed; no file was written: %1</translation>
    </message>
    <message>
        <source>鼠标上的设置超出配置文件能保存的范围，未写入文件：%1</source>
        <translation>The mouse holds settings a profile cannot store; no file was written: %1</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>%1 大于 1 MiB，不是本程序的配置文件</source>
        <translation>%1 is larger than 1 MiB: not a profile of this program</translation>
    </message>
    <message>
        <source>配置文件 %1 有误：%2</source>
        <translation>Profile %1 is invalid: %2</translation>
    </message>
</context>
<context>
    <name>ProfileFormat</name>
    <message>
        <source>%1 应有 %2 项，鼠标上为 %3 项</source>
        <translation>%1 should have %2 items; the mouse has %3</translation>
    </message>
    <message>
        <source>%1 应为 %2，鼠标上为 %3</source>
        <translation>%1 should be %2; the mouse has %3</translation>
    </message>
    <message>
        <source>%1 中有多余的 “%2”</source>
        <translation>%1 has an unexpected &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 缺少 “%2”</source>
        <translation>%1 is missing &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 应为对象 {…}</source>
        <translation>%1 should be an object {...}</translation>
    </message>
    <message>
        <source>%1 应为列表 […]</source>
        <translation>%1 should be a list [...]</translation>
    </message>
    <message>
        <source>%1 应为整数</source>
        <translation>%1 should be an integer</translation>
    </message>
    <message>
        <source>%1 为 %2，应在 %3 到 %4 之间</source>
        <translation>%1 is %2; it should be between %3 and %4</translation>
    </message>
    <message>
        <source>%1 应为文本</source>
        <translation>%1 should be text</translation>
    </message>
    <message>
        <source>%1 应为 true 或 false</source>
        <translation>%1 should be true or false</translation>
    </message>
    <message>
        <source>%1 为 “%2”，应为以下之一：%3</source>
        <translation>%1 is &quot;%2&quot;; it should be one of: %3</translation>
    </message>
    <message>
        <source>%1 为 “%2”，而编号 %3 是 “%4”</source>
        <translation>%1 is &quot;%2&quot;, but number %3 is &quot;%4&quot;</translation>
    </message>
    <message>
        <source>%1 为 %2，不是本程序认识的按键</source>
        <translation>%1 is %2, which is not a key this program knows</translation>
    </message>
    <message>
        <source>%1 为 “%2”，而键码 %3 的键名是 “%4”</source>
        <translation>%1 is &quot;%2&quot;, but key code %3 is named &quot;%4&quot;</translation>
    </message>
    <message>
        <source>%1 为 %2，应为 50 的倍数</source>
        <translation>%1 is %2; it should be a multiple of 50</translation>
    </message>
    <message>
        <source>文件顶层</source>
        <translation>The file&apos;s top level</translation>
    </message>
    <message>
        <source>%1 缺少 “function”、“combination” 或 “macro”</source>
        <translation>%1 needs &quot;function&quot;, &quot;combination&quot; or &quot;macro&quot;</translation>
    </message>
    <message>
        <source>%1 重复了 “%2”</source>
        <translation>%1 repeats &quot;%2&quot;</translation>
    </message>
    <message>
        <source>%1 有 %2 个事件，最多 %3 个</source>
        <translation>%1 has %2 events; at most %3 are allowed</translation>
    </message>
    <message>
        <source>%1 为 “%2”，应为 #rrggbb 形式的颜色</source>
        <translation>%1 is &quot;%2&quot;; it should be a color like #rrggbb</translation>
    </message>
    <message>
        <source>%1 有 %2 项，应为 %3 项</source>
        <translation>%1 has %2 items; it should have %3</translation>
    </message>
    <message>
        <source>%1 为 %2，不能大于 levelCount（%3）</source>
        <translation>%1 is %2; it cannot exceed levelCount (%3)</translation>
    </message>
    <message>
        <source>%1 为 %2，应为 125、250、500 或 1000</source>
        <translation>%1 is %2; it should be 125, 250, 500 or 1000</translation>
    </message>
    <message>
        <source>文件顶层缺少 “format”</source>
        <translation>The file&apos;s top level is missing &quot;format&quot;</translation>
    </message>
    <message>
        <source>format 为 %1：本程序只读取格式 %2</source>
        <translation>format is %1: this program only reads format %2</translation>
    </message>
    <message>
        <source>buttons 有 %1 项，应为 %2 项（按键 2 到 9 各一项）</source>
        <translation>buttons has %1 items; it should have %2 (one for each of buttons 2 to 9)</translation>
    </message>
    <message>
        <source>%1 重复了按键 %2</source>
        <translation>%1 repeats button %2</translation>
    </message>
    <message>
        <source>不是 UTF-8 文本</source>
        <translation>Not UTF-8 text</translation>
    </message>
    <message>
        <source>不是有效的 JSON：第 %1 行第 %2 列，%3</source>
        <translation>Not valid JSON: line %1, column %2, %3</translation>
    </message>
    <message>
        <source>文件顶层应为对象 {…}</source>
        <translation>The file&apos;s top level should be an object {...}</translation>
    </message>
    <message>
        <source>%1 为 “%2”，应为 MAJOR.MINOR.PATCH 形式的版本（各 0 到 255）</source>
        <translation>%1 is &quot;%2&quot;; it should be a version MAJOR.MINOR.PATCH (each 0 to 255)</translation>
    </message>
    <message>
        <source>%1 中重复了 “%2”</source>
        <translation>%1 has &quot;%2&quot; twice</translation>
    </message>
    <message>
        <source>第 %1 行第 %2 列：文本中有控制字符 \u%3，应写成转义形式</source>
        <translation>Line %1, column %2: a text holds the control character \u%3; write it escaped</translation>
    </message>
</context>
<context>
    <name>SystemTray</name>
    <message>
        <source>TARNO DUVERUR</source>
        <translation>TARNO DUVERUR</translation>
    </message>
    <message>
        <source>显示</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>TARNO_Gaming</name>
    <message>
        <source>恢复默认设置</source>
        <translation>Restore defaults</translation>
    </message>
    <message>
        <source>将把您的鼠标恢复为出厂配置，是否继续？</source>
        <translation>Restore the mouse&apos;s factory settings?</translation>
    </message>
    <message>
        <source>恢复</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>鼠标没有应答：请检查它是否已插好，或重新插拔一次</source>
        <translation>The mouse does not answer: check that it is plugged in, or plug it in again</translation>
    </message>
    <message>
        <source>TARNO DUVERUR</source>
        <translation>TARNO DUVERUR</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <source>固件更新</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>升级内容:
 text here</source>
        <translation>What&apos;s new:
 text here</translation>
    </message>
    <message>
        <source>发现新的固件版本</source>
        <translation>New firmware available</translation>
    </message>
    <message>
        <source>开始更新</source>
        <translation>Update now</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>固件升级已完成</source>
        <translation>Firmware updated</translation>
    </message>
    <message>
        <source>升级为版本V</source>
        <translation>Updated to version V</translation>
    </message>
    <message>
        <source>固件文件为空，未写入鼠标。</source>
        <translation>The firmware file is empty. Nothing was written to the mouse.</translation>
    </message>
    <message>
        <source>固件文件未能确认下载完整，未写入鼠标。</source>
        <translation>The firmware download could not be verified as complete. Nothing was written to the mouse.</translation>
    </message>
    <message>
        <source>固件文件与下载完成时不一致，未写入鼠标。</source>
        <translation>The firmware file has changed since it was downloaded. Nothing was written to the mouse.</translation>
    </message>
    <message>
        <source>无法升级固件</source>
        <translation>Cannot update the firmware</translation>
    </message>
    <message>
        <source>正在等待鼠标重新连接...</source>
        <translation>Waiting for the mouse to reconnect...</translation>
    </message>
    <message>
        <source>固件已写入，鼠标将重新启动。正在等待它报告新版本（最多%1秒）。</source>
        <translation>Firmware written; the mouse is restarting. Waiting for it to report the new version (up to %1 s).</translation>
    </message>
    <message>
        <source>固件升级未生效</source>
        <translation>Firmware update did not take effect</translation>
    </message>
    <message>
        <source>鼠标重新连接后报告的版本仍为V%1。</source>
        <translation>After reconnecting, the mouse still reports version V%1.</translation>
    </message>
    <message>
        <source>未能确认升级结果</source>
        <translation>Could not confirm the update</translation>
    </message>
    <message>
        <source>鼠标在%1秒内没有重新连接，请重新插入鼠标后查看固件版本。</source>
        <translation>The mouse did not reconnect within %1 s. Plug it in again, then check its firmware version.</translation>
    </message>
    <message>
        <source>正在升级固件，程序将在升级完成后退出。</source>
        <translation>Updating firmware. The program will exit when the update is done.</translation>
    </message>
    <message>
        <source>正在升级固件，完成前不能关闭窗口。</source>
        <translation>Updating firmware. The window cannot be closed until it is done.</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>Try again</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>固件升级失败</source>
        <translation>Firmware update failed</translation>
    </message>
    <message>
        <source>固件未能完整写入鼠标，鼠标仍保留原固件V%1。请确认鼠标已连接，然后重试。</source>
        <translation>Not all of the firmware reached the mouse; it keeps V%1. Make sure it is plugged in, then try again.</translation>
    </message>
    <message>
        <source>鼠标没有报告固件版本，请重新插入鼠标后查看固件版本。</source>
        <translation>The mouse did not report its firmware version. Plug it in again, then check the version.</translation>
    </message>
    <message>
        <source>固件升级进度</source>
        <translation>Firmware update progress</translation>
    </message>
</context>
<context>
    <name>btn_Dialog</name>
    <message>
        <source>单击左键</source>
        <translation>Left click</translation>
    </message>
    <message>
        <source>功能键</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>组合键</source>
        <translation>Key combo</translation>
    </message>
    <message>
        <source>多键宏</source>
        <translation>Macro</translation>
    </message>
    <message>
        <source>自定义组合键:</source>
        <translation>Custom keys: </translation>
    </message>
</context>
<context>
    <name>buttons_Widget</name>
    <message>
        <source>按键设置</source>
        <translation>Buttons</translation>
    </message>
    <message>
        <source>按键 %1</source>
        <translation>Button %1</translation>
    </message>
    <message>
        <source>按键 %1：%2</source>
        <translation>Button %1: %2</translation>
    </message>
    <message>
        <source>打开这个按键的设置</source>
        <translation>Opens this button’s settings</translation>
    </message>
    <message>
        <source>多键宏</source>
        <translation>Macro</translation>
    </message>
</context>
<context>
    <name>combo_List</name>
    <message>
        <source>自定义组合键:</source>
        <translation>Custom keys: </translation>
    </message>
    <message>
        <source>关闭窗口(ALT+F4)</source>
        <translation>Close window (Alt+F4)</translation>
    </message>
    <message>
        <source>显示桌面(WIN+D)</source>
        <translation>Show desktop (Win+D)</translation>
    </message>
    <message>
        <source>浏览器中的下一个标签(Ctrl+Tab)</source>
        <translation>Next browser tab (Ctrl+Tab)</translation>
    </message>
    <message>
        <source>浏览器中的上一个标签(Ctrl+Shift+Tab)</source>
        <translation>Previous browser tab (Ctrl+Shift+Tab)</translation>
    </message>
    <message>
        <source>剪切(Ctrl+X)</source>
        <translation>Cut (Ctrl+X)</translation>
    </message>
    <message>
        <source>粘贴(Ctrl+V)</source>
        <translation>Paste (Ctrl+V)</translation>
    </message>
    <message>
        <source>撤销(Ctrl+Z)</source>
        <translation>Undo (Ctrl+Z)</translation>
    </message>
    <message>
        <source>重做(Ctrl+Y)</source>
        <translation>Redo (Ctrl+Y)</translation>
    </message>
    <message>
        <source>复制(Ctrl+C)</source>
        <translation>Copy (Ctrl+C)</translation>
    </message>
</context>
<context>
    <name>config_Widget</name>
    <message>
        <source>固件版本信息</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>软件版本信息</source>
        <translation>Software version</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>配置文件</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>导出配置</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>导入配置</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>固件升级未生效：鼠标仍为版本V%1，未升级到V%2</source>
        <translation>Firmware update did not take effect: the mouse still has V%1, not V%2</translation>
    </message>
    <message>
        <source>新版本程序无法启动：%1</source>
        <translation>The new version could not be started: %1</translation>
    </message>
    <message>
        <source>Z31 配置文件 (*%1)</source>
        <translation>Z31 profiles (*%1)</translation>
    </message>
    <message>
        <source>已导出配置到 %1</source>
        <translation>Profile exported to %1</translation>
    </message>
    <message>
        <source>导出失败：%1</source>
        <translation>Export failed: %1</translation>
    </message>
    <message>
        <source>导入失败：%1</source>
        <translation>Import failed: %1</translation>
    </message>
    <message>
        <source>已从 %1 导入配置</source>
        <translation>Profile imported from %1</translation>
    </message>
    <message>
        <source>发现新版本  </source>
        <translation>New version  </translation>
    </message>
    <message>
        <source>无法保存语言选择（%1），下次启动时不会保留</source>
        <translation>Language not saved (%1): the next start will not keep it</translation>
    </message>
    <message>
        <source>正在读取鼠标…</source>
        <translation>Reading the mouse…</translation>
    </message>
    <message>
        <source>导出失败：鼠标已拔出</source>
        <translation>Export failed: the mouse was unplugged</translation>
    </message>
    <message>
        <source>正在写入鼠标…</source>
        <translation>Writing the mouse…</translation>
    </message>
    <message>
        <source>导入失败：鼠标已拔出</source>
        <translation>Import failed: the mouse was unplugged</translation>
    </message>
    <message>
        <source>登录时启动（隐藏到托盘）</source>
        <translation>Start at login (hidden in the tray)</translation>
    </message>
    <message>
        <source>登录时启动</source>
        <translation>Start at login</translation>
    </message>
    <message>
        <source>无法写入 %1</source>
        <translation>Cannot write %1</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
</context>
<context>
    <name>disconnect_Widget</name>
    <message>
        <source>未检测到设备</source>
        <translation>No mouse detected</translation>
    </message>
    <message>
        <source>请检查USB是否正确接入</source>
        <translation>Check that the USB cable is plugged in properly</translation>
    </message>
    <message>
        <source>正在等待鼠标</source>
        <translation>Waiting for the mouse</translation>
    </message>
    <message>
        <source>本程序的命令行或另一个窗口正在使用鼠标，用完后自动连接</source>
        <translation>A command line or another window of this program is using the mouse; it connects when that is done</translation>
    </message>
</context>
<context>
    <name>func_List</name>
    <message>
        <source>禁用</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>单击左键</source>
        <translation>Left click</translation>
    </message>
    <message>
        <source>单击右键</source>
        <translation>Right click</translation>
    </message>
    <message>
        <source>单击中键</source>
        <translation>Middle click</translation>
    </message>
    <message>
        <source>后退</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>前进</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>提高DPI</source>
        <translation>DPI up</translation>
    </message>
    <message>
        <source>降低DPI</source>
        <translation>DPI down</translation>
    </message>
    <message>
        <source>瞄准键</source>
        <translation>Aim key</translation>
    </message>
    <message>
        <source>向左滚动</source>
        <translation>Scroll left</translation>
    </message>
    <message>
        <source>向右滚动</source>
        <translation>Scroll right</translation>
    </message>
</context>
<context>
    <name>leds_Widget</name>
    <message>
        <source> 常亮</source>
        <translation> Steady</translation>
    </message>
    <message>
        <source> 射击</source>
        <translation> Shooting</translation>
    </message>
    <message>
        <source> 呼吸</source>
        <translation> Breathing</translation>
    </message>
    <message>
        <source> 狂暴</source>
        <translation> Frenzy</translation>
    </message>
    <message>
        <source> 轮播</source>
        <translation> Cycle</translation>
    </message>
    <message>
        <source> 关闭</source>
        <translation> Off</translation>
    </message>
    <message>
        <source>灯光模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>频率调节</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>恢复预设</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>调色器</source>
        <translation>Picker</translation>
    </message>
    <message>
        <source>灯效预览，实际效果以鼠标为准</source>
        <translation>Preview: actual lighting may differ</translation>
    </message>
    <message>
        <source>灯光设置</source>
        <translation>Lighting</translation>
    </message>
    <message>
        <source>已保存的颜色 %1</source>
        <translation>Saved colour %1</translation>
    </message>
    <message>
        <source>六个已保存的颜色恢复为预设颜色</source>
        <translation>Sets the six saved colours back to their defaults</translation>
    </message>
    <message>
        <source>用鼠标选择颜色；键盘可在 R、G、B 或 # 框中输入</source>
        <translation>Pick a colour with the mouse; from the keyboard, type it in the R, G, B or # field</translation>
    </message>
    <message>
        <source>色相</source>
        <translation>Hue</translation>
    </message>
    <message>
        <source>红</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>绿</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>蓝</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>十六进制颜色</source>
        <translation>Hexadecimal colour</translation>
    </message>
</context>
<context>
    <name>micro_Widget</name>
    <message>
        <source>启动录制</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>记录延迟</source>
        <translation>Record delays</translation>
    </message>
    <message>
        <source>停止录制</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source> 毫秒延迟</source>
        <translation> ms delay</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>宏事件</source>
        <translation>Macro events</translation>
    </message>
    <message>
        <source>没有可保存的事件：要清除这个按键，请在功能键中选择“禁用”</source>
        <translation>Nothing to save: to clear the button, choose "Disabled" under Function</translation>
    </message>
</context>
<context>
    <name>mkey_Edit</name>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>自定义组合键</source>
        <translation>Custom combination</translation>
    </message>
    <message>
        <source>在这里按下组合键的各个按键，再选择保存</source>
        <translation>Press the keys of the combination here, then choose Save</translation>
    </message>
</context>
<context>
    <name>pointer_Widget</name>
    <message>
        <source>报告率</source>
        <translation>Report rate</translation>
    </message>
    <message>
        <source>瞄准键DPI速度</source>
        <translation>Aim key DPI</translation>
    </message>
    <message>
        <source>指针设置</source>
        <translation>Pointer</translation>
    </message>
    <message>
        <source>报告率 %1 次/秒</source>
        <translation>Report rate %1 per second</translation>
    </message>
    <message>
        <source>%1：%2 DPI</source>
        <translation>%1: %2 DPI</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>CommandLine</name>
    <message>
        <source>无法加载设备库：%1</source>
        <translation>無法載入裝置程式庫：%1</translation>
    </message>
    <message>
        <source>设备库缺少入口 %1</source>
        <translation>裝置程式庫缺少進入點 %1</translation>
    </message>
    <message>
        <source>保存或恢复 Z31 鼠标的全部设置。不带参数时打开程序窗口。</source>
        <translation>儲存或還原 Z31 滑鼠的所有設定。不帶參數時開啟程式視窗。</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>檔案</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>多餘的參數：%1</translation>
    </message>
    <message>
        <source>请只给出一个 --export 文件 或 --import 文件（--help 显示用法）</source>
        <translation>請只指定一個 --export 檔案 或 --import 檔案（--help 顯示用法）</translation>
    </message>
    <message>
        <source>没有找到鼠标</source>
        <translation>找不到滑鼠</translation>
    </message>
    <message>
        <source>已导出配置到 %1</source>
        <translation>已將設定檔匯出至 %1</translation>
    </message>
    <message>
        <source>已从 %1 导入配置</source>
        <translation>已從 %1 匯入設定檔</translation>
    </message>
    <message>
        <source>标准输出</source>
        <translation>標準輸出</translation>
    </message>
    <message>
        <source>标准输入</source>
        <translation>標準輸入</translation>
    </message>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>無法讀取 %1：%2</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>無法寫入 %1：%2</translation>
    </message>
    <message>
        <source>把鼠标的全部设置导出到配置文件（- 为标准输出）</source>
        <translation>將滑鼠的所有設定匯出至設定檔（- 為標準輸出）</translation>
    </message>
    <message>
        <source>从配置文件导入鼠标的全部设置（- 为标准输入）</source>
        <translation>從設定檔匯入滑鼠的所有設定（- 為標準輸入）</translation>
    </message>
    <message>
        <source>不带 --export 或 --import 时，程序窗口接受 Qt 的选项：%1</source>
        <translation>不帶 --export 或 --import 時，程式視窗接受 Qt 的選項：%1</translation>
    </message>
    <message>
        <source>文件名为空（--help 显示用法）</source>
        <translation>檔名是空的（--help 顯示用法）</translation>
    </message>
    <message>
        <source>程序窗口没有完成导出就退出了</source>
        <translation>程式視窗未完成匯出就結束了</translation>
    </message>
    <message>
        <source>程序窗口没有完成导入就退出了：鼠标上的设置可能不完整，请重新导入</source>
        <translation>程式視窗未完成匯入就結束了：滑鼠上的設定可能不完整，請重新匯入</translation>
    </message>
    <message>
        <source>本程序的另一个进程正在使用鼠标，%1 秒后仍未结束：请稍后再试</source>
        <translation>本程式的另一個執行個體正在使用滑鼠，%1 秒後仍未結束：請稍後再試</translation>
    </message>
    <message>
        <source>无法创建锁文件 %1</source>
        <translation>無法建立鎖定檔 %1</translation>
    </message>
    <message>
        <source>程序窗口收到的请求有误</source>
        <translation>程式視窗收到的要求有誤</translation>
    </message>
    <message>
        <source>正在升级固件：请等升级结束后再导入或导出配置</source>
        <translation>正在更新韌體：請等更新結束後再匯入或匯出設定檔</translation>
    </message>
    <message>
        <source>已中断，没有写入文件</source>
        <translation>已中斷，未寫入檔案</translation>
    </message>
    <message>
        <source>程序窗口 %1 秒内没有完成导出：没有写入文件</source>
        <translation>程式視窗 %1 秒內未完成匯出：未寫入檔案</translation>
    </message>
    <message>
        <source>程序窗口 %1 秒内没有完成导入：它若已开始写入鼠标，会写完这份配置，否则不写入</source>
        <translation>程式視窗 %1 秒內未完成匯入：它若已開始寫入滑鼠，會寫完這份設定，否則不寫入</translation>
    </message>
    <message>
        <source>已中断：程序窗口若已开始写入鼠标，会写完这份配置，否则不写入</source>
        <translation>已中斷：程式視窗若已開始寫入滑鼠，會寫完這份設定，否則不寫入</translation>
    </message>
    <message>
        <source>已中断，没有写入鼠标</source>
        <translation>已中斷，未寫入滑鼠</translation>
    </message>
    <message>
        <source>程序窗口在写入鼠标之前退出了：鼠标上的设置没有改动</source>
        <translation>程式視窗在寫入滑鼠之前就結束了：滑鼠上的設定沒有變更</translation>
    </message>
    <message>
        <source>无法创建 %1</source>
        <translation>無法建立 %1</translation>
    </message>
    <message>
        <source>%1 不是文件夹</source>
        <translation>%1 不是資料夾</translation>
    </message>
    <message>
        <source>%1 属于另一个用户</source>
        <translation>%1 屬於另一位使用者</translation>
    </message>
    <message>
        <source>其他用户也能进入 %1</source>
        <translation>其他使用者也能進入 %1</translation>
    </message>
    <message>
        <source>找不到只属于本用户的运行文件夹（%1）：请设置 XDG_RUNTIME_DIR 为本用户权限 0700 的文件夹</source>
        <translation>找不到只屬於本使用者的執行資料夾（%1）：請將 XDG_RUNTIME_DIR 設為本使用者權限 0700 的資料夾</translation>
    </message>
    <message>
        <source>正在等待：本程序的另一个进程正在使用鼠标（最多等 %1 秒）</source>
        <translation>正在等待：本程式的另一個執行個體正在使用滑鼠（最多等 %1 秒）</translation>
    </message>
    <message>
        <source>正在等待程序窗口答复（最多等 %1 秒）</source>
        <translation>正在等待程式視窗回覆（最多等 %1 秒）</translation>
    </message>
</context>
<context>
    <name>DPILeft</name>
    <message>
        <source>DPI灵敏度数量</source>
        <translation>DPI靈敏度等級</translation>
    </message>
    <message>
        <source>级别数量</source>
        <translation>等級數量</translation>
    </message>
    <message>
        <source>级别I</source>
        <translation>等級I</translation>
    </message>
    <message>
        <source>级别II</source>
        <translation>等級II</translation>
    </message>
    <message>
        <source>级别III</source>
        <translation>等級III</translation>
    </message>
    <message>
        <source>级别IV</source>
        <translation>等級IV</translation>
    </message>
    <message>
        <source>级别V</source>
        <translation>等級V</translation>
    </message>
    <message>
        <source>级别数量 %1</source>
        <translation>等級數量 %1</translation>
    </message>
    <message>
        <source>鼠标的 DPI 键依次切换的级别数</source>
        <translation>滑鼠的 DPI 鍵依序切換的等級數</translation>
    </message>
    <message>
        <source>%1：%2 DPI</source>
        <translation>%1：%2 DPI</translation>
    </message>
</context>
<context>
    <name>FirmwareTransfer</name>
    <message>
        <source>正在升级固件...%1%</source>
        <translation>正在更新韌體...%1%</translation>
    </message>
</context>
<context>
    <name>FirmwareUpdate</name>
    <message>
        <source>升级过程中，请勿断开USB连接。中断升级可能会导致鼠标无法使用。固件升级约需要1分钟，在此期间，鼠标将无法使用。</source>
        <translation>更新過程中，請勿中斷USB連線。中斷更新可能會導致滑鼠無法使用。韌體更新約需1分鐘，在此期間，滑鼠將無法使用。</translation>
    </message>
</context>
<context>
    <name>MacroEditDialog</name>
    <message>
        <source>编辑宏</source>
        <translation>編輯巨集</translation>
    </message>
    <message>
        <source>按键</source>
        <translation>按鍵</translation>
    </message>
    <message>
        <source>动作</source>
        <translation>動作</translation>
    </message>
    <message>
        <source>延迟(毫秒)</source>
        <translation>延遲(毫秒)</translation>
    </message>
    <message>
        <source>用于所选事件</source>
        <translation>套用到所選事件</translation>
    </message>
    <message>
        <source>用于全部事件</source>
        <translation>套用到全部事件</translation>
    </message>
    <message>
        <source>记录延迟</source>
        <translation>記錄延遲</translation>
    </message>
    <message>
        <source>在前面插入按键</source>
        <translation>在前面插入按鍵</translation>
    </message>
    <message>
        <source>在后面插入按键</source>
        <translation>在後面插入按鍵</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>復原</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>取消復原</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>宏事件</source>
        <translation>巨集事件</translation>
    </message>
    <message>
        <source>松开</source>
        <translation>放開</translation>
    </message>
    <message>
        <source>按下</source>
        <translation>按下</translation>
    </message>
    <message>
        <source>已发送到鼠标</source>
        <translation>已傳送到滑鼠</translation>
    </message>
    <message>
        <source>事件 %1：宏最多只能有 %2 个事件</source>
        <translation>事件 %1：巨集最多只能有 %2 個事件</translation>
    </message>
    <message>
        <source>事件 %1：%2 在按下之前被松开</source>
        <translation>事件 %1：%2 在按下之前就放開了</translation>
    </message>
    <message>
        <source>事件 %1：%2 按下后直到结尾都没有松开</source>
        <translation>事件 %1：%2 按下後直到結尾都沒有放開</translation>
    </message>
    <message>
        <source>事件 %1：延迟 %2 毫秒超出 0 到 %3 毫秒</source>
        <translation>事件 %1：延遲 %2 毫秒超出 0 到 %3 毫秒</translation>
    </message>
    <message>
        <source>插入其他按键</source>
        <translation>插入其他按鍵</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>不儲存</translation>
    </message>
    <message>
        <source>Delete 删除所选事件，Ctrl+上下方向键移动它们，Enter 修改延迟，Ctrl+Z 撤销，Ctrl+Y 重做</source>
        <translation>Delete 刪除所選事件，Ctrl+上下方向鍵移動它們，Enter 修改延遲，Ctrl+Z 復原，Ctrl+Y 重做</translation>
    </message>
    <message>
        <source>Esc、Tab 等等待按键时不能输入的按键，插入到所选事件之后</source>
        <translation>Esc、Tab 等等待按鍵時無法輸入的按鍵，插入到所選事件之後</translation>
    </message>
    <message>
        <source>编辑宏：按键 %1</source>
        <translation>編輯巨集：按鍵 %1</translation>
    </message>
    <message>
        <source>请按下要插入的按键，按 Esc 取消</source>
        <translation>請按下要插入的按鍵，按 Esc 取消</translation>
    </message>
    <message>
        <source>宏有未保存的修改：保存、不保存，还是返回编辑？</source>
        <translation>巨集有未儲存的修改：儲存、不儲存，還是返回編輯？</translation>
    </message>
    <message>
        <source>宏是空的，不能保存：要清除这个按键，请在功能键中选择“禁用”</source>
        <translation>巨集是空的，無法儲存：要清除這個按鍵，請在功能鍵中選擇「停用」</translation>
    </message>
    <message>
        <source>第一个事件的延迟总是 0：它之前没有要等的事件</source>
        <translation>第一個事件的延遲一律為 0：它之前沒有要等待的事件</translation>
    </message>
    <message>
        <source>同时删除了配对的事件 %1，按键不会只按下或只松开</source>
        <translation>同時刪除了配對的事件 %1，按鍵不會只按下或只放開</translation>
    </message>
    <message>
        <source>已在开头，不能再上移</source>
        <translation>已在開頭，無法再上移</translation>
    </message>
    <message>
        <source>已在结尾，不能再下移</source>
        <translation>已在結尾，無法再下移</translation>
    </message>
    <message>
        <source>不能移动：按键会在按下之前松开</source>
        <translation>無法移動：按鍵會在按下之前放開</translation>
    </message>
    <message>
        <source>鼠标不能发送这个按键：宏里没有音量、媒体和浏览器按键</source>
        <translation>滑鼠無法送出這個按鍵：巨集裡沒有音量、媒體和瀏覽器按鍵</translation>
    </message>
</context>
<context>
    <name>Nav_Bar</name>
    <message>
        <source>按键设置</source>
        <translation>按鍵設定</translation>
    </message>
    <message>
        <source>灯光设置</source>
        <translation>燈光設定</translation>
    </message>
    <message>
        <source>指针设置</source>
        <translation>指標設定</translation>
    </message>
    <message>
        <source>页面</source>
        <translation>頁面</translation>
    </message>
</context>
<context>
    <name>PopBox</name>
    <message>
        <source>请确认操作</source>
        <translation>請確認操作</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>ProfileDevice</name>
    <message>
        <source>鼠标没有应答灯光、DPI 或报告率的读取</source>
        <translation>滑鼠未回應燈光、DPI 或回報率的讀取</translation>
    </message>
    <message>
        <source>鼠标没有应答固件版本的读取</source>
        <translation>滑鼠未回應韌體版本的讀取</translation>
    </message>
    <message>
        <source>鼠标没有应答按键 %1 的读取</source>
        <translation>滑鼠未回應按鍵 %1 的讀取</translation>
    </message>
    <message>
        <source>鼠标没有应答按键 %1 的宏的读取</source>
        <translation>滑鼠未回應按鍵 %1 巨集的讀取</translation>
    </message>
    <message>
        <source>写入后读回失败：%1</source>
        <translation>寫入後讀回失敗：%1</translation>
    </message>
    <message>
        <source>鼠标拒绝了按键 %1 的宏的写入</source>
        <translation>滑鼠拒絕寫入按鍵 %1 的巨集</translation>
    </message>
    <message>
        <source>写入后读回的设置与写入的不同：%1</source>
        <translation>寫入後讀回的設定與寫入的不同：%1</translation>
    </message>
    <message>
        <source>写入前读取鼠标失败，未写入任何设置：%1</source>
        <translation>寫入前讀取滑鼠失敗，未寫入任何設定：%1</translation>
    </message>
    <message>
        <source>%1。鼠标已恢复为导入前的设置</source>
        <translation>%1。滑鼠已恢復為匯入前的設定</translation>
    </message>
    <message>
        <source>%1。恢复导入前的设置也失败了（%2），鼠标上的设置不完整：请重新导入</source>
        <translation>%1。恢復匯入前的設定也失敗了（%2），滑鼠上的設定不完整：請重新匯入</translation>
    </message>
    <message>
        <source>导入已取消，未写入任何设置</source>
        <translation>匯入已取消，未寫入任何設定</translation>
    </message>
</context>
<context>
    <name>ProfileFile</name>
    <message>
        <source>读取鼠标失败，未写入文件：%1</source>
        <translation>讀取滑鼠失敗，未寫入檔案：%1</translation>
    </message>
    <message>
        <source>鼠标上的设置超出配置文件能保存的范围，未写入文件：%1</source>
        <translation>滑鼠上的設定超出設定檔能儲存的範圍，未寫入檔案：%1</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>無法寫入 %1：%2</translation>
    </message>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>無法讀取 %1：%2</translation>
    </message>
    <message>
        <source>%1 大于 1 MiB，不是本程序的配置文件</source>
        <translation>%1 大於 1 MiB，不是本程式的設定檔</translation>
    </message>
    <message>
        <source>配置文件 %1 有误：%2</source>
        <translation>設定檔 %1 有誤：%2</translation>
    </message>
</context>
<context>
    <name>ProfileFormat</name>
    <message>
        <source>%1 应有 %2 项，鼠标上为 %3 项</source>
        <translation>%1 應有 %2 項，滑鼠上為 %3 項</translation>
    </message>
    <message>
        <source>%1 应为 %2，鼠标上为 %3</source>
        <translation>%1 應為 %2，滑鼠上為 %3</translation>
    </message>
    <message>
        <source>%1 中有多余的 “%2”</source>
        <translation>%1 中有多餘的「%2」</translation>
    </message>
    <message>
        <source>%1 缺少 “%2”</source>
        <translation>%1 缺少「%2」</translation>
    </message>
    <message>
        <source>%1 应为对象 {…}</source>
        <translation>%1 應為物件 {…}</translation>
    </message>
    <message>
        <source>%1 应为列表 […]</source>
        <translation>%1 應為清單 […]</translation>
    </message>
    <message>
        <source>%1 应为整数</source>
        <translation>%1 應為整數</translation>
    </message>
    <message>
        <source>%1 为 %2，应在 %3 到 %4 之间</source>
        <translation>%1 為 %2，應介於 %3 到 %4 之間</translation>
    </message>
    <message>
        <source>%1 应为文本</source>
        <translation>%1 應為文字</translation>
    </message>
    <message>
        <source>%1 应为 true 或 false</source>
        <translation>%1 應為 true 或 false</translation>
    </message>
    <message>
        <source>%1 为 “%2”，应为以下之一：%3</source>
        <translation>%1 為「%2」，應為下列之一：%3</translation>
    </message>
    <message>
        <source>%1 为 “%2”，而编号 %3 是 “%4”</source>
        <translation>%1 為「%2」，但編號 %3 是「%4」</translation>
    </message>
    <message>
        <source>%1 为 %2，不是本程序认识的按键</source>
        <translation>%1 為 %2，不是本程式認得的按鍵</translation>
    </message>
    <message>
        <source>%1 为 “%2”，而键码 %3 的键名是 “%4”</source>
        <translation>%1 為「%2」，但鍵碼 %3 的鍵名是「%4」</translation>
    </message>
    <message>
        <source>%1 为 %2，应为 50 的倍数</source>
        <translation>%1 為 %2，應為 50 的倍數</translation>
    </message>
    <message>
        <source>文件顶层</source>
        <translation>檔案最上層</translation>
    </message>
    <message>
        <source>%1 缺少 “function”、“combination” 或 “macro”</source>
        <translation>%1 缺少「function」、「combination」或「macro」</translation>
    </message>
    <message>
        <source>%1 重复了 “%2”</source>
        <translation>%1 重複了「%2」</translation>
    </message>
    <message>
        <source>%1 有 %2 个事件，最多 %3 个</source>
        <translation>%1 有 %2 個事件，最多 %3 個</translation>
    </message>
    <message>
        <source>%1 为 “%2”，应为 #rrggbb 形式的颜色</source>
        <translation>%1 為「%2」，應為 #rrggbb 格式的顏色</translation>
    </message>
    <message>
        <source>%1 有 %2 项，应为 %3 项</source>
        <translation>%1 有 %2 項，應為 %3 項</translation>
    </message>
    <message>
        <source>%1 为 %2，不能大于 levelCount（%3）</source>
        <translation>%1 為 %2，不能大於 levelCount（%3）</translation>
    </message>
    <message>
        <source>%1 为 %2，应为 125、250、500 或 1000</source>
        <translation>%1 為 %2，應為 125、250、500 或 1000</translation>
    </message>
    <message>
        <source>文件顶层缺少 “format”</source>
        <translation>檔案最上層缺少「format」</translation>
    </message>
    <message>
        <source>format 为 %1：本程序只读取格式 %2</source>
        <translation>format 為 %1：本程式只讀取格式 %2</translation>
    </message>
    <message>
        <source>buttons 有 %1 项，应为 %2 项（按键 2 到 9 各一项）</source>
        <translation>buttons 有 %1 項，應為 %2 項（按鍵 2 到 9 各一項）</translation>
    </message>
    <message>
        <source>%1 重复了按键 %2</source>
        <translation>%1 重複了按鍵 %2</translation>
    </message>
    <message>
        <source>不是 UTF-8 文本</source>
        <translation>不是 UTF-8 文字</translation>
    </message>
    <message>
        <source>不是有效的 JSON：第 %1 行第 %2 列，%3</source>
        <translation>不是有效的 JSON：第 %1 行第 %2 欄，%3</translation>
    </message>
    <message>
        <source>文件顶层应为对象 {…}</source>
        <translation>檔案最上層應為物件 {…}</translation>
    </message>
    <message>
        <source>%1 为 “%2”，应为 MAJOR.MINOR.PATCH 形式的版本（各 0 到 255）</source>
        <translation>%1 為「%2」，應為 MAJOR.MINOR.PATCH 形式的版本（各 0 到 255）</translation>
    </message>
    <message>
        <source>%1 中重复了 “%2”</source>
        <translation>%1 中重複了「%2」</translation>
    </message>
    <message>
        <source>第 %1 行第 %2 列：文本中有控制字符 \u%3，应写成转义形式</source>
        <translation>第 %1 行第 %2 欄：文字中有控制字元 \u%3，應寫成跳脫形式</translation>
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
        <translation>顯示</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>結束</translation>
    </message>
</context>
<context>
    <name>TARNO_Gaming</name>
    <message>
        <source>恢复默认设置</source>
        <translation>恢復預設設定</translation>
    </message>
    <message>
        <source>将把您的鼠标恢复为出厂配置，是否继续？</source>
        <translation>將您的滑鼠恢復為原廠設定，是否繼續？</translation>
    </message>
    <message>
        <source>恢复</source>
        <translation>恢復</translation>
    </message>
    <message>
        <source>鼠标没有应答：请检查它是否已插好，或重新插拔一次</source>
        <translation>滑鼠沒有回應：請檢查是否已插好，或重新插拔一次</translation>
    </message>
    <message>
        <source>TARNO DUVERUR</source>
        <translation>TARNO DUVERUR</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>關閉</translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <source>固件更新</source>
        <translation>韌體更新</translation>
    </message>
    <message>
        <source>升级内容:
 text here</source>
        <translation>更新內容:
 text here</translation>
    </message>
    <message>
        <source>发现新的固件版本</source>
        <translation>發現新的韌體版本</translation>
    </message>
    <message>
        <source>开始更新</source>
        <translation>開始更新</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>固件升级已完成</source>
        <translation>韌體更新已完成</translation>
    </message>
    <message>
        <source>升级为版本V</source>
        <translation>已更新為版本V</translation>
    </message>
    <message>
        <source>固件文件为空，未写入鼠标。</source>
        <translation>韌體檔案是空的，未寫入滑鼠。</translation>
    </message>
    <message>
        <source>固件文件未能确认下载完整，未写入鼠标。</source>
        <translation>無法確認韌體檔案已完整下載，未寫入滑鼠。</translation>
    </message>
    <message>
        <source>固件文件与下载完成时不一致，未写入鼠标。</source>
        <translation>韌體檔案與下載完成時不一致，未寫入滑鼠。</translation>
    </message>
    <message>
        <source>无法升级固件</source>
        <translation>無法更新韌體</translation>
    </message>
    <message>
        <source>正在等待鼠标重新连接...</source>
        <translation>正在等待滑鼠重新連線...</translation>
    </message>
    <message>
        <source>固件已写入，鼠标将重新启动。正在等待它报告新版本（最多%1秒）。</source>
        <translation>韌體已寫入，滑鼠將重新啟動。正在等待滑鼠回報新版本（最多%1秒）。</translation>
    </message>
    <message>
        <source>固件升级未生效</source>
        <translation>韌體更新未生效</translation>
    </message>
    <message>
        <source>鼠标重新连接后报告的版本仍为V%1。</source>
        <translation>滑鼠重新連線後回報的版本仍為V%1。</translation>
    </message>
    <message>
        <source>未能确认升级结果</source>
        <translation>無法確認更新結果</translation>
    </message>
    <message>
        <source>鼠标在%1秒内没有重新连接，请重新插入鼠标后查看固件版本。</source>
        <translation>滑鼠未在%1秒內重新連線，請重新插入滑鼠後查看韌體版本。</translation>
    </message>
    <message>
        <source>正在升级固件，程序将在升级完成后退出。</source>
        <translation>正在更新韌體，程式將在更新完成後結束。</translation>
    </message>
    <message>
        <source>正在升级固件，完成前不能关闭窗口。</source>
        <translation>正在更新韌體，完成前無法關閉視窗。</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>重試</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>固件升级失败</source>
        <translation>韌體更新失敗</translation>
    </message>
    <message>
        <source>固件未能完整写入鼠标，鼠标仍保留原固件V%1。请确认鼠标已连接，然后重试。</source>
        <translation>韌體未能完整寫入滑鼠，滑鼠仍保留原韌體V%1。請確認滑鼠已連接，然後重試。</translation>
    </message>
    <message>
        <source>鼠标没有报告固件版本，请重新插入鼠标后查看固件版本。</source>
        <translation>滑鼠沒有回報韌體版本，請重新插入滑鼠後查看韌體版本。</translation>
    </message>
    <message>
        <source>固件升级进度</source>
        <translation>韌體更新進度</translation>
    </message>
</context>
<context>
    <name>btn_Dialog</name>
    <message>
        <source>单击左键</source>
        <translation>按一下左鍵</translation>
    </message>
    <message>
        <source>功能键</source>
        <translation>功能鍵</translation>
    </message>
    <message>
        <source>组合键</source>
        <translation>組合鍵</translation>
    </message>
    <message>
        <source>多键宏</source>
        <translation>多鍵巨集</translation>
    </message>
    <message>
        <source>自定义组合键:</source>
        <translation>自訂組合鍵:</translation>
    </message>
</context>
<context>
    <name>buttons_Widget</name>
    <message>
        <source>按键设置</source>
        <translation>按鍵設定</translation>
    </message>
    <message>
        <source>按键 %1</source>
        <translation>按鍵 %1</translation>
    </message>
    <message>
        <source>按键 %1：%2</source>
        <translation>按鍵 %1：%2</translation>
    </message>
    <message>
        <source>打开这个按键的设置</source>
        <translation>開啟這個按鍵的設定</translation>
    </message>
    <message>
        <source>多键宏</source>
        <translation>多鍵巨集</translation>
    </message>
</context>
<context>
    <name>combo_List</name>
    <message>
        <source>自定义组合键:</source>
        <translation>自訂組合鍵:</translation>
    </message>
    <message>
        <source>关闭窗口(ALT+F4)</source>
        <translation>關閉視窗(ALT+F4)</translation>
    </message>
    <message>
        <source>显示桌面(WIN+D)</source>
        <translation>顯示桌面(WIN+D)</translation>
    </message>
    <message>
        <source>浏览器中的下一个标签(Ctrl+Tab)</source>
        <translation>瀏覽器中的下一個分頁(Ctrl+Tab)</translation>
    </message>
    <message>
        <source>浏览器中的上一个标签(Ctrl+Shift+Tab)</source>
        <translation>瀏覽器中的上一個分頁(Ctrl+Shift+Tab)</translation>
    </message>
    <message>
        <source>剪切(Ctrl+X)</source>
        <translation>剪下(Ctrl+X)</translation>
    </message>
    <message>
        <source>粘贴(Ctrl+V)</source>
        <translation>貼上(Ctrl+V)</translation>
    </message>
    <message>
        <source>撤销(Ctrl+Z)</source>
        <translation>復原(Ctrl+Z)</translation>
    </message>
    <message>
        <source>重做(Ctrl+Y)</source>
        <translation>取消復原(Ctrl+Y)</translation>
    </message>
    <message>
        <source>复制(Ctrl+C)</source>
        <translation>複製(Ctrl+C)</translation>
    </message>
</context>
<context>
    <name>config_Widget</name>
    <message>
        <source>固件版本信息</source>
        <translation>韌體版本資訊</translation>
    </message>
    <message>
        <source>软件版本信息</source>
        <translation>軟體版本資訊</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>語言</translation>
    </message>
    <message>
        <source>配置文件</source>
        <translation>設定檔</translation>
    </message>
    <message>
        <source>导出配置</source>
        <translation>匯出設定檔</translation>
    </message>
    <message>
        <source>导入配置</source>
        <translation>匯入設定檔</translation>
    </message>
    <message>
        <source>固件升级未生效：鼠标仍为版本V%1，未升级到V%2</source>
        <translation>韌體更新未生效：滑鼠仍為版本V%1，未更新為V%2</translation>
    </message>
    <message>
        <source>新版本程序无法启动：%1</source>
        <translation>新版本程式無法啟動：%1</translation>
    </message>
    <message>
        <source>Z31 配置文件 (*%1)</source>
        <translation>Z31 設定檔 (*%1)</translation>
    </message>
    <message>
        <source>已导出配置到 %1</source>
        <translation>已將設定檔匯出至 %1</translation>
    </message>
    <message>
        <source>导出失败：%1</source>
        <translation>匯出失敗：%1</translation>
    </message>
    <message>
        <source>导入失败：%1</source>
        <translation>匯入失敗：%1</translation>
    </message>
    <message>
        <source>已从 %1 导入配置</source>
        <translation>已從 %1 匯入設定檔</translation>
    </message>
    <message>
        <source>发现新版本  </source>
        <translation>發現新版本  </translation>
    </message>
    <message>
        <source>无法保存语言选择（%1），下次启动时不会保留</source>
        <translation>無法儲存語言選擇（%1），下次啟動時不會保留</translation>
    </message>
    <message>
        <source>正在读取鼠标…</source>
        <translation>正在讀取滑鼠…</translation>
    </message>
    <message>
        <source>导出失败：鼠标已拔出</source>
        <translation>匯出失敗：滑鼠已拔出</translation>
    </message>
    <message>
        <source>正在写入鼠标…</source>
        <translation>正在寫入滑鼠…</translation>
    </message>
    <message>
        <source>导入失败：鼠标已拔出</source>
        <translation>匯入失敗：滑鼠已拔出</translation>
    </message>
    <message>
        <source>登录时启动（隐藏到托盘）</source>
        <translation>登入時啟動（隱藏到系統匣）</translation>
    </message>
    <message>
        <source>登录时启动</source>
        <translation>登入時啟動</translation>
    </message>
    <message>
        <source>无法写入 %1</source>
        <translation>無法寫入 %1</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>設定</translation>
    </message>
</context>
<context>
    <name>disconnect_Widget</name>
    <message>
        <source>未检测到设备</source>
        <translation>未偵測到裝置</translation>
    </message>
    <message>
        <source>请检查USB是否正确接入</source>
        <translation>請檢查USB是否正確連接</translation>
    </message>
    <message>
        <source>正在等待鼠标</source>
        <translation>正在等待滑鼠</translation>
    </message>
    <message>
        <source>本程序的命令行或另一个窗口正在使用鼠标，用完后自动连接</source>
        <translation>本程式的命令列或另一個視窗正在使用滑鼠，用完後自動連線</translation>
    </message>
</context>
<context>
    <name>func_List</name>
    <message>
        <source>禁用</source>
        <translation>停用</translation>
    </message>
    <message>
        <source>单击左键</source>
        <translation>按一下左鍵</translation>
    </message>
    <message>
        <source>单击右键</source>
        <translation>按一下右鍵</translation>
    </message>
    <message>
        <source>单击中键</source>
        <translation>按一下中鍵</translation>
    </message>
    <message>
        <source>后退</source>
        <translation>上一頁</translation>
    </message>
    <message>
        <source>前进</source>
        <translation>下一頁</translation>
    </message>
    <message>
        <source>提高DPI</source>
        <translation>提高DPI</translation>
    </message>
    <message>
        <source>降低DPI</source>
        <translation>降低DPI</translation>
    </message>
    <message>
        <source>瞄准键</source>
        <translation>瞄準鍵</translation>
    </message>
    <message>
        <source>向左滚动</source>
        <translation>向左捲動</translation>
    </message>
    <message>
        <source>向右滚动</source>
        <translation>向右捲動</translation>
    </message>
</context>
<context>
    <name>leds_Widget</name>
    <message>
        <source> 常亮</source>
        <translation> 恆亮</translation>
    </message>
    <message>
        <source> 射击</source>
        <translation> 射擊</translation>
    </message>
    <message>
        <source> 呼吸</source>
        <translation> 呼吸</translation>
    </message>
    <message>
        <source> 狂暴</source>
        <translation> 狂暴</translation>
    </message>
    <message>
        <source> 轮播</source>
        <translation> 輪播</translation>
    </message>
    <message>
        <source> 关闭</source>
        <translation> 關閉</translation>
    </message>
    <message>
        <source>灯光模式</source>
        <translation>燈光模式</translation>
    </message>
    <message>
        <source>频率调节</source>
        <translation>速度調整</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>顏色</translation>
    </message>
    <message>
        <source>恢复预设</source>
        <translation>恢復預設</translation>
    </message>
    <message>
        <source>调色器</source>
        <translation>調色器</translation>
    </message>
    <message>
        <source>灯效预览，实际效果以鼠标为准</source>
        <translation>燈效預覽，實際效果以滑鼠為準</translation>
    </message>
    <message>
        <source>灯光设置</source>
        <translation>燈光設定</translation>
    </message>
    <message>
        <source>已保存的颜色 %1</source>
        <translation>已儲存的顏色 %1</translation>
    </message>
    <message>
        <source>六个已保存的颜色恢复为预设颜色</source>
        <translation>六個已儲存的顏色恢復為預設顏色</translation>
    </message>
    <message>
        <source>用鼠标选择颜色；键盘可在 R、G、B 或 # 框中输入</source>
        <translation>用滑鼠選擇顏色；鍵盤可在 R、G、B 或 # 欄位中輸入</translation>
    </message>
    <message>
        <source>色相</source>
        <translation>色相</translation>
    </message>
    <message>
        <source>红</source>
        <translation>紅</translation>
    </message>
    <message>
        <source>绿</source>
        <translation>綠</translation>
    </message>
    <message>
        <source>蓝</source>
        <translation>藍</translation>
    </message>
    <message>
        <source>十六进制颜色</source>
        <translation>十六進位顏色</translation>
    </message>
</context>
<context>
    <name>micro_Widget</name>
    <message>
        <source>启动录制</source>
        <translation>開始錄製</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>记录延迟</source>
        <translation>記錄延遲</translation>
    </message>
    <message>
        <source>停止录制</source>
        <translation>停止錄製</translation>
    </message>
    <message>
        <source> 毫秒延迟</source>
        <translation> 毫秒延遲</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>編輯</translation>
    </message>
    <message>
        <source>宏事件</source>
        <translation>巨集事件</translation>
    </message>
    <message>
        <source>没有可保存的事件：要清除这个按键，请在功能键中选择“禁用”</source>
        <translation>沒有可儲存的事件：要清除這個按鍵，請在功能鍵中選擇「停用」</translation>
    </message>
</context>
<context>
    <name>mkey_Edit</name>
    <message>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>自定义组合键</source>
        <translation>自訂組合鍵</translation>
    </message>
    <message>
        <source>在这里按下组合键的各个按键，再选择保存</source>
        <translation>在這裡按下組合鍵的各個按鍵，再選擇儲存</translation>
    </message>
</context>
<context>
    <name>pointer_Widget</name>
    <message>
        <source>报告率</source>
        <translation>回報率</translation>
    </message>
    <message>
        <source>瞄准键DPI速度</source>
        <translation>瞄準鍵DPI速度</translation>
    </message>
    <message>
        <source>指针设置</source>
        <translation>指標設定</translation>
    </message>
    <message>
        <source>报告率 %1 次/秒</source>
        <translation>回報率 %1 次/秒</translation>
    </message>
    <message>
        <source>%1：%2 DPI</source>
        <translation>%1：%2 DPI</translation>
    </message>
</context>
</TS>

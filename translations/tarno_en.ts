<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
</context>
<context>
    <name>FirmwareTransfer</name>
    <message>
        <source>正在升级固件...%1%</source>
        <translation>Updating firmware... %1%</translation>
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
        <source>升级过程中，请勿断开USB连接。中断升级可能会导致鼠标无法使用。固件升级约需要1分钟，在此期间，鼠标将无法使用。</source>
        <translation>Keep the mouse plugged in: an interrupted update can leave it unusable. The mouse is unavailable for about a minute.</translation>
    </message>
    <message>
        <source>发现新版本  </source>
        <translation>New version  </translation>
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
</context>
</TS>

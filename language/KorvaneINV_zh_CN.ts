<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>Version Information</source>
        <translation>版本信息</translation>
    </message>
</context>
<context>
    <name>AdvOptionDialog</name>
    <message>
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>X-Axis</source>
        <translation>X 轴</translation>
    </message>
    <message>
        <source>Seconds per page</source>
        <translation>每页秒数</translation>
    </message>
    <message>
        <source>Record Time</source>
        <translation>记录时间</translation>
    </message>
    <message>
        <source>Time(0~3600 seconds)</source>
        <translation>时间(0~3600 秒)</translation>
    </message>
    <message>
        <source>Y-Axis Offset</source>
        <translation>Y 轴偏移</translation>
    </message>
    <message>
        <source>Ch1</source>
        <translation>通道1</translation>
    </message>
    <message>
        <source>Ch2</source>
        <translation>通道2</translation>
    </message>
    <message>
        <source>Ch3</source>
        <translation>通道3</translation>
    </message>
    <message>
        <source>Ch4</source>
        <translation>通道4</translation>
    </message>
    <message>
        <source>Ch5</source>
        <translation>通道5</translation>
    </message>
    <message>
        <source>Ch6</source>
        <translation>通道6</translation>
    </message>
    <message>
        <source>Ch7</source>
        <translation>通道7</translation>
    </message>
    <message>
        <source>Ch8</source>
        <translation>通道8</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>AdvancePlot</name>
    <message>
        <source>Save Data</source>
        <translation>保存数据</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>System Time</source>
        <translation>系统时间</translation>
    </message>
    <message>
        <source>The recording has %1 samples; an .xls workbook holds %2. Save it as .txt, or record for a shorter time.</source>
        <translation>记录共有 %1 个采样；一个 .xls 工作簿最多容纳 %2 个。请保存为 .txt，或缩短记录时间。</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>无法写入文件 %1：
%2。</translation>
    </message>
    <message>
        <source>The name %1 ends in .%2; the data is saved in a file ending in .xls or .txt.</source>
        <translation>文件名 %1 的扩展名为 .%2；数据只能保存为扩展名为 .xls 或 .txt 的文件。</translation>
    </message>
</context>
<context>
    <name>AlarmCode</name>
    <message>
        <source>         Frequency:: </source>
        <translation>         频率:: </translation>
    </message>
    <message>
        <source>    Current:: </source>
        <translation>    电流:: </translation>
    </message>
    <message>
        <source>    Output Voltage:: </source>
        <translation>    输出电压:: </translation>
    </message>
    <message>
        <source>         The accumulation rate of temperature:: </source>
        <translation>         温度累积率:: </translation>
    </message>
    <message>
        <source>    P-N Voltage:: </source>
        <translation>    P-N 电压:: </translation>
    </message>
    <message>
        <source>           Accumulative motor operation time:: </source>
        <translation>           电机累计运行时间:: </translation>
    </message>
    <message>
        <source>         Continuing Operation Time:: </source>
        <translation>         连续运行时间:: </translation>
    </message>
    <message>
        <source>    Status Word:: </source>
        <translation>    状态字:: </translation>
    </message>
    <message>
        <source>History Message</source>
        <translation>历史信息</translation>
    </message>
    <message>
        <source>Save Message</source>
        <translation>保存信息</translation>
    </message>
    <message>
        <source>Cannot read file %1:
%2.</source>
        <translation>无法读取文件 %1:
%2。</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>无法写入文件 %1:
%2。</translation>
    </message>
    <message>
        <source>%1 day %2 min </source>
        <translation>%1 天 %2 分钟 </translation>
    </message>
</context>
<context>
    <name>CAbout</name>
    <message>
        <source>Vantreo %1 - drive setup and monitoring</source>
        <translation>Vantreo %1 - 变频器参数设置与监控</translation>
    </message>
    <message>
        <source>Built with Qt %1, running on Qt %2; plots by Qwt %3.</source>
        <translation>基于 Qt %1 构建，运行于 Qt %2；图表使用 Qwt %3。</translation>
    </message>
    <message>
        <source>Reads and writes the parameters of variable-frequency drives, saves them as files, and watches and records the running drive over a serial line (Korvane protocol, Modbus RTU and Modbus ASCII).</source>
        <translation>通过串行线路（Korvane 协议、Modbus RTU 和 Modbus ASCII）读写变频器参数、保存参数文件，并监视和记录运行中的变频器。</translation>
    </message>
    <message>
        <source>Free software: you may use, study, share and improve it.</source>
        <translation>自由软件：您可以使用、研究、分享和改进它。</translation>
    </message>
</context>
<context>
    <name>CComSetup</name>
    <message>
        <source>Please set the P.170 of ZN series to 0, set the P.33 of other series to 1.</source>
        <translation>请将 ZN 系列的 P.170 设为 0，其他系列的 P.33 设为 1。</translation>
    </message>
    <message>
        <source>Please set the P.170 of ZN series to 1, set the P.33 of other series to 0.</source>
        <translation>请将 ZN 系列的 P.170 设为 1，其他系列的 P.33 设为 0。</translation>
    </message>
    <message>
        <source>This setting value should correspond to parameter P.32 settings.</source>
        <translation>此设定值应与参数 P.32 的设定一致。</translation>
    </message>
    <message>
        <source>This setting value of ZN series(other series) should correpond to P.172(P.32).</source>
        <translation>此设定值应与 ZN 系列的 P.172（其他系列的 P.32）一致。</translation>
    </message>
    <message>
        <source>This setting value should correspond to parameter P.48 settings.</source>
        <translation>此设定值应与参数 P.48 的设定一致。</translation>
    </message>
    <message>
        <source>This value only can be set to 8.</source>
        <translation>此值只能设为 8。</translation>
    </message>
    <message>
        <source>This value only can be set to 7.</source>
        <translation>此值只能设为 7。</translation>
    </message>
    <message>
        <source>This setting value of ZN series(other series) should correpond to P.173(P.154).</source>
        <translation>此设定值应与 ZN 系列的 P.173（其他系列的 P.154）一致。</translation>
    </message>
    <message>
        <source>This setting value should correspond to parameter P.49 settings.</source>
        <translation>此设定值应与参数 P.49 的设定一致。</translation>
    </message>
    <message>
        <source>This setting value should correspond to parameter P.50 settings.</source>
        <translation>此设定值应与参数 P.50 的设定一致。</translation>
    </message>
    <message>
        <source>This setting value should correspond to parameter P.51 settings.</source>
        <translation>此设定值应与参数 P.51 的设定一致。</translation>
    </message>
    <message>
        <source> </source>
        <translation> </translation>
    </message>
    <message>
        <source>This value only can be set to CR+LF.</source>
        <translation>此值只能设为 CR+LF。</translation>
    </message>
</context>
<context>
    <name>CMainWindow</name>
    <message>
        <source>No program was found to open the help file %1.</source>
        <translation>找不到可以打开帮助文件 %1 的程序。</translation>
    </message>
    <message>
        <source>The language choice could not be saved in %1.</source>
        <translation>无法将语言选择保存到 %1。</translation>
    </message>
    <message>
        <source>No exchange with a drive yet</source>
        <translation>尚未与变频器通信</translation>
    </message>
    <message>
        <source>The drive answered the last request</source>
        <translation>变频器已应答上一次请求</translation>
    </message>
    <message>
        <source>The last request got no valid answer</source>
        <translation>上一次请求未得到有效应答</translation>
    </message>
    <message>
        <source>Korvane protocol</source>
        <translation>Korvane 协议</translation>
    </message>
    <message>
        <source>Modbus RTU</source>
        <translation>Modbus RTU</translation>
    </message>
    <message>
        <source>Modbus ASCII</source>
        <translation>Modbus ASCII</translation>
    </message>
    <message>
        <source>No port</source>
        <translation>无串口</translation>
    </message>
    <message>
        <source>Simulated drives</source>
        <translation>模拟变频器</translation>
    </message>
    <message>
        <source>%1 (not open)</source>
        <translation>%1（未打开）</translation>
    </message>
    <message>
        <source>The station list could not be saved in %1.</source>
        <translation>无法将站号列表保存到 %1。</translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation>导航</translation>
    </message>
    <message>
        <source>key tone</source>
        <translation>按键音</translation>
    </message>
    <message>
        <source>Pr. restoration</source>
        <translation>参数恢复</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Can&apos;t open serial port</source>
        <translation>无法打开串口</translation>
    </message>
    <message>
        <source>
 The Specified serial port does not exist or occupied.</source>
        <translation>
 指定的串口不存在或已被占用。</translation>
    </message>
    <message>
        <source>Operating mode</source>
        <translation>运行模式</translation>
    </message>
    <message>
        <source>Inverter Type</source>
        <translation>变频器型号</translation>
    </message>
    <message>
        <source>Communication Error!</source>
        <translation>通信错误！</translation>
    </message>
    <message>
        <source>Parity Error!</source>
        <translation>奇偶校验错误！</translation>
    </message>
    <message>
        <source>Illegal function code!</source>
        <translation>非法功能码！</translation>
    </message>
    <message>
        <source>Sum Check error!</source>
        <translation>和校验错误！</translation>
    </message>
    <message>
        <source>Illegal data address!</source>
        <translation>非法数据地址！</translation>
    </message>
    <message>
        <source>Communication protocol error!</source>
        <translation>通信协议错误！</translation>
    </message>
    <message>
        <source>Illegal data value!</source>
        <translation>非法数据值！</translation>
    </message>
    <message>
        <source>Frame error!</source>
        <translation>帧错误！</translation>
    </message>
    <message>
        <source>Overflow error!</source>
        <translation>溢出错误！</translation>
    </message>
    <message>
        <source>Abnormal patterns!</source>
        <translation>格式异常！</translation>
    </message>
    <message>
        <source>Command code error!</source>
        <translation>命令码错误！</translation>
    </message>
    <message>
        <source>Material range error!</source>
        <translation>数据范围错误！</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The trend window holds a recording of station %1 %2 that has not been saved. Close it and open a new trend window?</source>
        <translation>趋势窗口中有站号 %1 %2 的记录尚未保存。关闭它并打开新的趋势窗口吗？</translation>
    </message>
</context>
<context>
    <name>CNavigation</name>
    <message>
        <source> station </source>
        <translation> 号站 </translation>
    </message>
    <message>
        <source>Select station: </source>
        <translation>选择站号：</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>消息</translation>
    </message>
    <message>
        <source>load saved stations ?</source>
        <translation>载入已保存的站号吗？</translation>
    </message>
    <message>
        <source>System setting</source>
        <translation>系统设置</translation>
    </message>
    <message>
        <source>Setting guide</source>
        <translation>设置向导</translation>
    </message>
    <message>
        <source>The frequency unit (P.187) cannot be read at the broadcast address. Set the frequency station by station.</source>
        <translation>无法在广播地址读取频率单位 (P.187)。请逐个站号设定频率。</translation>
    </message>
    <message>
        <source>Station 0 is the broadcast address: every drive on the line obeys this command, and none answers. Send commands to all drives?</source>
        <translation>站号 0 是广播地址：线路上的每台变频器都会执行此命令，且都不会应答。要向所有变频器发送命令吗？</translation>
    </message>
    <message>
        <source>station %1 %2</source>
        <translation>站号 %1 %2</translation>
    </message>
</context>
<context>
    <name>CParameter</name>
    <message>
        <source>Group mode</source>
        <translation>组模式</translation>
    </message>
    <message>
        <source>Trad. P mode</source>
        <translation>传统 P 模式</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Setting range</source>
        <translation>设定范围</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>单位</translation>
    </message>
    <message>
        <source>Default value</source>
        <translation>出厂值</translation>
    </message>
    <message>
        <source>Current value</source>
        <translation>当前值</translation>
    </message>
    <message>
        <source>Setting value</source>
        <translation>设定值</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>备注</translation>
    </message>
    <message>
        <source>EXCEL application not found!</source>
        <translation>未找到 EXCEL 应用程序！</translation>
    </message>
    <message>
        <source>Cannot read file %1:
%2.</source>
        <translation>无法读取文件 %1：
%2。</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Reading parameters...</source>
        <translation>正在读取参数...</translation>
    </message>
    <message>
        <source>Writing parameters...</source>
        <translation>正在写入参数...</translation>
    </message>
    <message>
        <source> Write error!</source>
        <translation> 写入错误！</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>继续</translation>
    </message>
    <message>
        <source>Nothing can be saved.</source>
        <translation>没有可保存的内容。</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>消息</translation>
    </message>
    <message>
        <source>The last batch read was cut short: rows marked -- were not read from the drive. Save anyway?</source>
        <translation>上一次批量读取未完成：标记为 -- 的行未从变频器读取。仍要保存吗？</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>无法写入文件 %1：
%2。</translation>
    </message>
    <message>
        <source>the parameters of %1 cannot be stored in this format</source>
        <translation>%1 的参数无法以此格式保存</translation>
    </message>
    <message>
        <source>The file is not a XBEL file or the type doesn&apos;t match .</source>
        <translation>该文件不是 XBEL 文件，或型号不符。</translation>
    </message>
    <message>
        <source>The file is not a XLS file or the type doesn&apos;t match .</source>
        <translation>该文件不是 XLS 文件，或型号不符。</translation>
    </message>
    <message>
        <source>XLS Files(*.xls);;XBEL Files(*.xbel)</source>
        <translation>XLS 文件(*.xls);;XBEL 文件(*.xbel)</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>保存文件</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>A transfer with the drive is running in the parameter list. Cancel it and show the parameters of %1?</source>
        <translation>参数列表正在与变频器传输数据。要取消传输并显示 %1 的参数吗？</translation>
    </message>
    <message>
        <source>The parameter list holds settings that were edited or opened from a file and have been neither written to the drive nor saved. Show the parameters of %1 and discard them?</source>
        <translation>参数列表中有已编辑或从文件打开的设定值，尚未写入变频器也未保存。要显示 %1 的参数并放弃这些设定值吗？</translation>
    </message>
    <message>
        <source>Alarm history clear</source>
        <translation>清除报警履历</translation>
    </message>
    <message>
        <source>Inverter reset</source>
        <translation>变频器复位</translation>
    </message>
    <message>
        <source>All parameter clear</source>
        <translation>全部参数清除</translation>
    </message>
    <message>
        <source>Parameter clear</source>
        <translation>参数清除</translation>
    </message>
    <message>
        <source>Run P.%1 (%2) on station %3 %4?</source>
        <translation>在站号 %3 %4 上执行 P.%1（%2）？</translation>
    </message>
    <message>
        <source>The name %1 ends in .%2, but the file type chosen is .%3. Nothing was saved.</source>
        <translation>文件名 %1 的扩展名是 .%2，但所选文件类型是 .%3。未保存任何内容。</translation>
    </message>
    <message>
        <source>The name %1 ends in .%2, but the file type chosen is .%3. Nothing was opened.</source>
        <translation>文件名 %1 的扩展名是 .%2，但所选文件类型是 .%3。未打开任何文件。</translation>
    </message>
    <message>
        <source>a parameter file&apos;s name ends in .xls or .xbel</source>
        <translation>参数文件名须以 .xls 或 .xbel 结尾</translation>
    </message>
    <message>
        <source>These parameters were not written: %1.</source>
        <translation>以下参数未写入：%1。</translation>
    </message>
</context>
<context>
    <name>CSearch</name>
    <message>
        <source>Search</source>
        <translation>查找</translation>
    </message>
    <message>
        <source>Did not find the accordant characters</source>
        <translation>未找到匹配的字符</translation>
    </message>
</context>
<context>
    <name>CSetType</name>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
</context>
<context>
    <name>ComSetDialog</name>
    <message>
        <source>Communication setup</source>
        <translation>通信设置</translation>
    </message>
    <message>
        <source>Protocol selection:</source>
        <translation>协议选择：</translation>
    </message>
    <message>
        <source>Korvane protocol</source>
        <translation>Korvane 协议</translation>
    </message>
    <message>
        <source>Serial Port setup</source>
        <translation>串口设置</translation>
    </message>
    <message>
        <source>Serial Port:</source>
        <translation>串口：</translation>
    </message>
    <message>
        <source>Baud rate:  </source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>Data Length:</source>
        <translation>数据位：</translation>
    </message>
    <message>
        <source>Stop Bit:   </source>
        <translation>停止位：</translation>
    </message>
    <message>
        <source>Parity Bit: </source>
        <translation>校验位：</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>奇校验</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <source>CR/LF:      </source>
        <translation>结束符 CR/LF：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>DialOptionDialog</name>
    <message>
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>Max Value</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>DriveTitle</name>
    <message>
        <source>%1 — station %2 %3</source>
        <translation>%1 — 站号 %2 %3</translation>
    </message>
</context>
<context>
    <name>HideParameter</name>
    <message>
        <source>Alarm 1</source>
        <translation>报警 1</translation>
    </message>
    <message>
        <source>Alarm </source>
        <translation>报警 </translation>
    </message>
    <message>
        <source>Reading parameters...</source>
        <translation>正在读取参数...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Read History Alarm</source>
        <translation>读取历史报警</translation>
    </message>
    <message>
        <source>Read Run Time</source>
        <translation>读取运行时间</translation>
    </message>
    <message>
        <source>Save All</source>
        <translation>全部保存</translation>
    </message>
    <message>
        <source>Service mode</source>
        <translation>维修模式</translation>
    </message>
    <message>
        <source>Read Hide Pr.</source>
        <translation>读取隐藏参数</translation>
    </message>
    <message>
        <source>Monitor Ram</source>
        <translation>监视 RAM</translation>
    </message>
    <message>
        <source>History Alarm Code:</source>
        <translation>历史报警代码:</translation>
    </message>
    <message>
        <source>Accumulative motor operation time:</source>
        <translation>电机累计运行时间:</translation>
    </message>
    <message>
        <source>Hide Parameter List:</source>
        <translation>隐藏参数列表:</translation>
    </message>
    <message>
        <source>NO.</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>Default value</source>
        <translation>默认值</translation>
    </message>
    <message>
        <source>Current value</source>
        <translation>当前值</translation>
    </message>
    <message>
        <source>Save Message</source>
        <translation>保存信息</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>无法写入文件 %1:
%2。</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>（无）</translation>
    </message>
</context>
<context>
    <name>IOState</name>
    <message>
        <source>I/O State</source>
        <translation>输入/输出状态</translation>
    </message>
</context>
<context>
    <name>InverterState</name>
    <message>
        <source>System State</source>
        <translation>系统状态</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>运行中</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>正转</translation>
    </message>
    <message>
        <source>Reversal</source>
        <translation>反转</translation>
    </message>
    <message>
        <source>Freq Arrival</source>
        <translation>频率到达</translation>
    </message>
    <message>
        <source>Overload</source>
        <translation>过载</translation>
    </message>
    <message>
        <source>key tone</source>
        <translation>按键音</translation>
    </message>
    <message>
        <source>Pr. restor</source>
        <translation>参数恢复</translation>
    </message>
    <message>
        <source>Freq Detection</source>
        <translation>频率检测</translation>
    </message>
    <message>
        <source>Alarm occurrence</source>
        <translation>报警发生</translation>
    </message>
</context>
<context>
    <name>JobProgressPanel</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>MainAdvPlot</name>
    <message>
        <source>Trend</source>
        <translation>趋势</translation>
    </message>
    <message>
        <source>Drive:</source>
        <translation>变频器：</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>版本：</translation>
    </message>
    <message>
        <source>KW:</source>
        <translation>功率：</translation>
    </message>
    <message>
        <source>Voltage:</source>
        <translation>电压：</translation>
    </message>
    <message>
        <source>Current:</source>
        <translation>电流：</translation>
    </message>
    <message>
        <source>Channel Select</source>
        <translation>通道选择</translation>
    </message>
    <message>
        <source>Ch1</source>
        <translation>通道1</translation>
    </message>
    <message>
        <source>Ch2</source>
        <translation>通道2</translation>
    </message>
    <message>
        <source>Ch3</source>
        <translation>通道3</translation>
    </message>
    <message>
        <source>Ch4</source>
        <translation>通道4</translation>
    </message>
    <message>
        <source>Ch5</source>
        <translation>通道5</translation>
    </message>
    <message>
        <source>Ch6</source>
        <translation>通道6</translation>
    </message>
    <message>
        <source>Ch7</source>
        <translation>通道7</translation>
    </message>
    <message>
        <source>Ch8</source>
        <translation>通道8</translation>
    </message>
    <message>
        <source>Set Pen Width</source>
        <translation>线宽</translation>
    </message>
    <message>
        <source>Y-Axis Range</source>
        <translation>Y 轴量程</translation>
    </message>
    <message>
        <source>Channel Value</source>
        <translation>通道值</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>全部清除</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>缩小</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>保存数据</translation>
    </message>
    <message>
        <source>Save Chart</source>
        <translation>保存图表</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>移动</translation>
    </message>
    <message>
        <source>The picture cannot be encoded</source>
        <translation>无法编码图片</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>无法写入文件 %1：
%2。</translation>
    </message>
    <message>
        <source>The trend window holds a recording that has not been saved. Close it anyway?</source>
        <translation>趋势窗口中的记录尚未保存。仍要关闭吗？</translation>
    </message>
    <message>
        <source>The name %1 ends in .%2; the chart is saved in a file ending in .png.</source>
        <translation>文件名 %1 的扩展名为 .%2；图表只能保存为扩展名为 .png 的文件。</translation>
    </message>
    <message>
        <source>Value axis:</source>
        <translation>数值轴：</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>通道 %1</translation>
    </message>
</context>
<context>
    <name>MainDialPlot</name>
    <message>
        <source>Monitor</source>
        <translation>监视</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message>
        <source> Clear</source>
        <translation> 清除</translation>
    </message>
    <message>
        <source>Sample Value</source>
        <translation>采样值</translation>
    </message>
    <message>
        <source>Alarm Code</source>
        <translation>报警代码</translation>
    </message>
    <message>
        <source>System Diagnosis</source>
        <translation>系统诊断</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Inverter Type:</source>
        <translation>变频器型号：</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>版本：</translation>
    </message>
    <message>
        <source>Output Current:</source>
        <translation>输出电流：</translation>
    </message>
    <message>
        <source>Input Voltage:</source>
        <translation>输入电压：</translation>
    </message>
    <message>
        <source>kw:</source>
        <translation>功率：</translation>
    </message>
    <message>
        <source>Output Frequency</source>
        <translation>输出频率</translation>
    </message>
    <message>
        <source>Output Voltage</source>
        <translation>输出电压</translation>
    </message>
    <message>
        <source>Output Current</source>
        <translation>输出电流</translation>
    </message>
    <message>
        <source>Target Frequency</source>
        <translation>目标频率</translation>
    </message>
    <message>
        <source>2-5 Analog signal input</source>
        <translation>2-5 模拟信号输入</translation>
    </message>
    <message>
        <source>4-5 Analog signal input</source>
        <translation>4-5 模拟信号输入</translation>
    </message>
    <message>
        <source>AM Analog signal output</source>
        <translation>AM 模拟信号输出</translation>
    </message>
    <message>
        <source>DC-Bus Voltage</source>
        <translation>直流母线电压</translation>
    </message>
    <message>
        <source>The thermal accumulating record</source>
        <translation>电子热累积记录</translation>
    </message>
    <message>
        <source>The accumulation rate of temperature</source>
        <translation>温升累积率</translation>
    </message>
    <message>
        <source>Input status of external terminal</source>
        <translation>外部端子输入状态</translation>
    </message>
    <message>
        <source>Output status of external terminal</source>
        <translation>外部端子输出状态</translation>
    </message>
    <message>
        <source>Input voltage of terminal 2-5</source>
        <translation>端子 2-5 输入电压</translation>
    </message>
    <message>
        <source>Input voltage/current of terminal 4-5</source>
        <translation>端子 4-5 输入电压/电流</translation>
    </message>
    <message>
        <source>Output voltage of terminal AM1-5</source>
        <translation>端子 AM1-5 输出电压</translation>
    </message>
    <message>
        <source>DC bus voltage</source>
        <translation>直流母线电压</translation>
    </message>
    <message>
        <source>Electronic thermal accumulation rate</source>
        <translation>电子热累积率</translation>
    </message>
    <message>
        <source>Temperature rising accumulation rate</source>
        <translation>温升累积率</translation>
    </message>
    <message>
        <source>Output power</source>
        <translation>输出功率</translation>
    </message>
    <message>
        <source>NTC module temperature</source>
        <translation>NTC 模块温度</translation>
    </message>
    <message>
        <source>Electronic thermal accumulation rate of motor</source>
        <translation>电机电子热累积率</translation>
    </message>
    <message>
        <source>PID aim pressure</source>
        <translation>PID 目标压力</translation>
    </message>
    <message>
        <source>PID feedback pressure</source>
        <translation>PID 反馈压力</translation>
    </message>
    <message>
        <source>Rotating speed fedback by PG</source>
        <translation>PG 反馈转速</translation>
    </message>
    <message>
        <source>Input frequency of terminal HDI</source>
        <translation>端子 HDI 输入频率</translation>
    </message>
    <message>
        <source>Input voltage of terminal 1-5</source>
        <translation>端子 1-5 输入电压</translation>
    </message>
    <message>
        <source>Output voltage of terminal AM2-5</source>
        <translation>端子 AM2-5 输出电压</translation>
    </message>
    <message>
        <source>Output torque</source>
        <translation>输出转矩</translation>
    </message>
    <message>
        <source>Input voltage of terminal 3-5</source>
        <translation>端子 3-5 输入电压</translation>
    </message>
    <message>
        <source>RAM</source>
        <translation>RAM</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;System</source>
        <translation>系统(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Parameter list</source>
        <translation>参数列表(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Communication setup</source>
        <translation>通信设置(&amp;C)</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Output current monitoring</source>
        <translation>输出电流监视</translation>
    </message>
    <message>
        <source>Output voltage monitoring</source>
        <translation>输出电压监视</translation>
    </message>
    <message>
        <source>All &amp;Parameters list</source>
        <translation>全部参数列表(&amp;P)</translation>
    </message>
    <message>
        <source>Motor/torque</source>
        <translation>电机/转矩</translation>
    </message>
    <message>
        <source>Frequency setting</source>
        <translation>频率设定</translation>
    </message>
    <message>
        <source>Acceleration/ deceleration setting</source>
        <translation>加/减速设定</translation>
    </message>
    <message>
        <source>Protection</source>
        <translation>保护</translation>
    </message>
    <message>
        <source>Output frequency monitoring</source>
        <translation>输出频率监视</translation>
    </message>
    <message>
        <source>&amp;Monitor</source>
        <translation>监视(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;Communication Setup Wizard</source>
        <translation>通信设置向导(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Version Information</source>
        <translation>版本信息(&amp;V)</translation>
    </message>
    <message>
        <source>Chinese(simplified)</source>
        <translation>简体中文</translation>
    </message>
    <message>
        <source>Chinese(traditional)</source>
        <translation>繁体中文</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>打开(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Trend</source>
        <translation>趋势(&amp;T)</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>参数</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>监视</translation>
    </message>
    <message>
        <source>Trend</source>
        <translation>趋势</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
</context>
<context>
    <name>NavForm</name>
    <message>
        <source>Navigation</source>
        <translation>导航</translation>
    </message>
    <message>
        <source>1. Double-click a station to set the type and power of its drive.&lt;br&gt;2. Click a typed station to make it the current one: the parameter list shows its parameters.&lt;br&gt;3. CU, EXT and JOG switch the operation mode; FWD, REV and STOP run and stop the drive; SET sends the frequency.</source>
        <translation>1. 双击站号，设置该站变频器的机型和功率。&lt;br&gt;2. 单击已设置机型的站号，使其成为当前站：参数列表显示其参数。&lt;br&gt;3. CU、EXT 和 JOG 切换运行模式；FWD、REV 和 STOP 运行和停止变频器；SET 发送频率。</translation>
    </message>
    <message>
        <source>Operation mode</source>
        <translation>运行模式</translation>
    </message>
    <message>
        <source>CU</source>
        <translation>CU</translation>
    </message>
    <message>
        <source>EXT</source>
        <translation>EXT</translation>
    </message>
    <message>
        <source>JOG</source>
        <translation>JOG</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>SET</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>REV</source>
        <translation>REV</translation>
    </message>
    <message>
        <source>FWD</source>
        <translation>FWD</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>STOP</translation>
    </message>
</context>
<context>
    <name>OptionDialog</name>
    <message>
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>X-Axis</source>
        <translation>X 轴</translation>
    </message>
    <message>
        <source>Seconds per page</source>
        <translation>每页秒数</translation>
    </message>
    <message>
        <source>Y-Axis</source>
        <translation>Y 轴</translation>
    </message>
    <message>
        <source>Max Value</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>ParameterCore</name>
    <message>
        <source>The parameters read from station %1 %2 were not put into the table: it shows another drive now.</source>
        <translation>从站号 %1 %2 读取的参数未放入表格：表格现在显示的是另一台变频器。</translation>
    </message>
    <message>
        <source>The table changed while it was read: no row is left for the values of %1.</source>
        <translation>读取期间表格已改变：%1 的值已无对应行。</translation>
    </message>
</context>
<context>
    <name>ParameterDelegate</name>
    <message>
        <source>Differs from the current value %1</source>
        <translation>与当前值 %1 不同</translation>
    </message>
    <message>
        <source>Outside the setting range %1</source>
        <translation>超出设定范围 %1</translation>
    </message>
</context>
<context>
    <name>ParameterForm</name>
    <message>
        <source>Parameter list</source>
        <translation>参数列表</translation>
    </message>
    <message>
        <source>Batch Read</source>
        <translation>批量读取</translation>
    </message>
    <message>
        <source>Batch Write</source>
        <translation>批量写入</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>Clear the current value</source>
        <translation>清除当前值</translation>
    </message>
    <message>
        <source>Clear the setting value</source>
        <translation>清除设定值</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>查找</translation>
    </message>
    <message>
        <source>P.996</source>
        <translation>P.996</translation>
    </message>
    <message>
        <source>P.997</source>
        <translation>P.997</translation>
    </message>
    <message>
        <source>P.998</source>
        <translation>P.998</translation>
    </message>
    <message>
        <source>P.999</source>
        <translation>P.999</translation>
    </message>
    <message>
        <source>Write the current value</source>
        <translation>写入当前值</translation>
    </message>
    <message>
        <source>open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Show All Parameter</source>
        <translation>显示全部参数</translation>
    </message>
    <message>
        <source>Show Select Parameter</source>
        <translation>显示选定参数</translation>
    </message>
</context>
<context>
    <name>ParameterTable</name>
    <message>
        <source>P.%1: &quot;%2&quot; is no number. Its range is %3.</source>
        <translation>P.%1：“%2”不是数字。其范围为 %3。</translation>
    </message>
    <message>
        <source>P.%1: %2 is outside its range %3.</source>
        <translation>P.%1：%2 超出其范围 %3。</translation>
    </message>
</context>
<context>
    <name>PassWordDialog</name>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码：</translation>
    </message>
</context>
<context>
    <name>PassWordDlg</name>
    <message>
        <source>Password Error !</source>
        <translation>密码错误！</translation>
    </message>
</context>
<context>
    <name>Plot</name>
    <message>
        <source>y -- &gt; Value</source>
        <translation>y -- &gt; 数值</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>保存数据</translation>
    </message>
</context>
<context>
    <name>PortSetup</name>
    <message>
        <source>The port %1 does not take %2; it runs with %3.</source>
        <translation>串口 %1 不支持 %2，实际使用 %3。</translation>
    </message>
    <message>
        <source>odd parity</source>
        <translation>奇校验</translation>
    </message>
    <message>
        <source>even parity</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <source>no parity</source>
        <translation>无校验</translation>
    </message>
    <message>
        <source>%1 baud</source>
        <translation>%1 波特</translation>
    </message>
    <message>
        <source>%1 data bits</source>
        <translation>%1 位数据位</translation>
    </message>
    <message>
        <source>%1 stop bits</source>
        <translation>%1 位停止位</translation>
    </message>
</context>
<context>
    <name>Ram</name>
    <message>
        <source>RAM</source>
        <translation>RAM</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>Adress</source>
        <translation>地址</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>长度</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <source>Ch1</source>
        <translation>通道1</translation>
    </message>
    <message>
        <source>8bit</source>
        <translation>8位</translation>
    </message>
    <message>
        <source>16bit</source>
        <translation>16位</translation>
    </message>
    <message>
        <source>32bit</source>
        <translation>32位</translation>
    </message>
    <message>
        <source>Ch2</source>
        <translation>通道2</translation>
    </message>
    <message>
        <source>Set Pen Color</source>
        <translation>曲线颜色</translation>
    </message>
    <message>
        <source>Set Pen Width</source>
        <translation>曲线宽度</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>选项</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>保存数据</translation>
    </message>
    <message>
        <source>Save Chart</source>
        <translation>保存图表</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>无法写入文件 %1：
%2。</translation>
    </message>
    <message>
        <source>The native protocol cannot read drive memory. Choose Modbus RTU or Modbus ASCII to monitor RAM.</source>
        <translation>原生协议无法读取变频器内存。请选择 Modbus RTU 或 Modbus ASCII 来监控 RAM。</translation>
    </message>
</context>
<context>
    <name>ReadWrite</name>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Cannot read file %1:
%2.</source>
        <translation>无法读取文件 %1：
%2。</translation>
    </message>
</context>
<context>
    <name>SearchDialog</name>
    <message>
        <source>Search</source>
        <translation>查找</translation>
    </message>
    <message>
        <source>Character String:</source>
        <translation>查找内容：</translation>
    </message>
    <message>
        <source>Match Case</source>
        <translation>全字匹配</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>区分大小写</translation>
    </message>
    <message>
        <source>Upward search</source>
        <translation>向上查找</translation>
    </message>
    <message>
        <source>Downward search</source>
        <translation>向下查找</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>SelectParaDialog</name>
    <message>
        <source>Show Select Parameter</source>
        <translation>显示选定参数</translation>
    </message>
    <message>
        <source>Not shown</source>
        <translation>不显示</translation>
    </message>
    <message>
        <source>Shown</source>
        <translation>显示</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>SetTypeDialog</name>
    <message>
        <source>Inverter Type setting</source>
        <translation>变频器机型设置</translation>
    </message>
    <message>
        <source>Please choose station number ,type and  power of the inverter.</source>
        <translation>请选择变频器的站号、机型和功率。</translation>
    </message>
    <message>
        <source>Station:</source>
        <translation>站号：</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>机型：</translation>
    </message>
    <message>
        <source>Power:</source>
        <translation>功率：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
</TS>

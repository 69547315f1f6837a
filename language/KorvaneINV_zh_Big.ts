<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>AboutDialog</name>
    <message>
        <source>Version Information</source>
        <translation>版本資訊</translation>
    </message>
</context>
<context>
    <name>AdvOptionDialog</name>
    <message>
        <source>Option</source>
        <translation>選項</translation>
    </message>
    <message>
        <source>X-Axis</source>
        <translation>X 軸</translation>
    </message>
    <message>
        <source>Seconds per page</source>
        <translation>每頁秒數</translation>
    </message>
    <message>
        <source>Record Time</source>
        <translation>記錄時間</translation>
    </message>
    <message>
        <source>Time(0~3600 seconds)</source>
        <translation>時間(0~3600 秒)</translation>
    </message>
    <message>
        <source>Y-Axis Offset</source>
        <translation>Y 軸偏移</translation>
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
        <translation>確定</translation>
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
        <translation>儲存資料</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>System Time</source>
        <translation>系統時間</translation>
    </message>
    <message>
        <source>The recording has %1 samples; an .xls workbook holds %2. Save it as .txt, or record for a shorter time.</source>
        <translation>記錄共有 %1 個取樣；一個 .xls 活頁簿最多容納 %2 個。請儲存為 .txt，或縮短記錄時間。</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>無法寫入檔案 %1：
%2。</translation>
    </message>
    <message>
        <source>The name %1 ends in .%2; the data is saved in a file ending in .xls or .txt.</source>
        <translation>檔案名稱 %1 的副檔名為 .%2；資料只能儲存為副檔名為 .xls 或 .txt 的檔案。</translation>
    </message>
</context>
<context>
    <name>AlarmCode</name>
    <message>
        <source>         Frequency:: </source>
        <translation>         頻率:: </translation>
    </message>
    <message>
        <source>    Current:: </source>
        <translation>    電流:: </translation>
    </message>
    <message>
        <source>    Output Voltage:: </source>
        <translation>    輸出電壓:: </translation>
    </message>
    <message>
        <source>         The accumulation rate of temperature:: </source>
        <translation>         溫度累積率:: </translation>
    </message>
    <message>
        <source>    P-N Voltage:: </source>
        <translation>    P-N 電壓:: </translation>
    </message>
    <message>
        <source>           Accumulative motor operation time:: </source>
        <translation>           電機累計運行時間:: </translation>
    </message>
    <message>
        <source>         Continuing Operation Time:: </source>
        <translation>         連續運行時間:: </translation>
    </message>
    <message>
        <source>    Status Word:: </source>
        <translation>    狀態字:: </translation>
    </message>
    <message>
        <source>History Message</source>
        <translation>歷史訊息</translation>
    </message>
    <message>
        <source>Save Message</source>
        <translation>儲存訊息</translation>
    </message>
    <message>
        <source>Cannot read file %1:
%2.</source>
        <translation>無法讀取檔案 %1:
%2。</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>無法寫入檔案 %1:
%2。</translation>
    </message>
    <message>
        <source>%1 day %2 min </source>
        <translation>%1 天 %2 分鐘 </translation>
    </message>
</context>
<context>
    <name>CAbout</name>
    <message>
        <source>Vantreo %1 - drive setup and monitoring</source>
        <translation>Vantreo %1 - 變頻器參數設定與監控</translation>
    </message>
    <message>
        <source>Built with Qt %1, running on Qt %2; plots by Qwt %3.</source>
        <translation>以 Qt %1 建置，執行於 Qt %2；圖表使用 Qwt %3。</translation>
    </message>
    <message>
        <source>Reads and writes the parameters of variable-frequency drives, saves them as files, and watches and records the running drive over a serial line (Korvane protocol, Modbus RTU and Modbus ASCII).</source>
        <translation>透過序列線路（Korvane 協定、Modbus RTU 與 Modbus ASCII）讀寫變頻器參數、儲存參數檔案，並監視與記錄運轉中的變頻器。</translation>
    </message>
    <message>
        <source>Free software: you may use, study, share and improve it.</source>
        <translation>自由軟體：您可以使用、研究、分享與改進它。</translation>
    </message>
</context>
<context>
    <name>CComSetup</name>
    <message>
        <source>Please set the P.170 of ZN series to 0, set the P.33 of other series to 1.</source>
        <translation>請將 ZN 系列的 P.170 設為 0，其他系列的 P.33 設為 1。</translation>
    </message>
    <message>
        <source>Please set the P.170 of ZN series to 1, set the P.33 of other series to 0.</source>
        <translation>請將 ZN 系列的 P.170 設為 1，其他系列的 P.33 設為 0。</translation>
    </message>
    <message>
        <source>This setting value should correspond to parameter P.32 settings.</source>
        <translation>此設定值應與參數 P.32 的設定一致。</translation>
    </message>
    <message>
        <source>This setting value of ZN series(other series) should correpond to P.172(P.32).</source>
        <translation>此設定值應與 ZN 系列的 P.172（其他系列的 P.32）一致。</translation>
    </message>
    <message>
        <source>This setting value should correspond to parameter P.48 settings.</source>
        <translation>此設定值應與參數 P.48 的設定一致。</translation>
    </message>
    <message>
        <source>This value only can be set to 8.</source>
        <translation>此值只能設為 8。</translation>
    </message>
    <message>
        <source>This value only can be set to 7.</source>
        <translation>此值只能設為 7。</translation>
    </message>
    <message>
        <source>This setting value of ZN series(other series) should correpond to P.173(P.154).</source>
        <translation>此設定值應與 ZN 系列的 P.173（其他系列的 P.154）一致。</translation>
    </message>
    <message>
        <source>This setting value should correspond to parameter P.49 settings.</source>
        <translation>此設定值應與參數 P.49 的設定一致。</translation>
    </message>
    <message>
        <source>This setting value should correspond to parameter P.50 settings.</source>
        <translation>此設定值應與參數 P.50 的設定一致。</translation>
    </message>
    <message>
        <source>This setting value should correspond to parameter P.51 settings.</source>
        <translation>此設定值應與參數 P.51 的設定一致。</translation>
    </message>
    <message>
        <source> </source>
        <translation> </translation>
    </message>
    <message>
        <source>This value only can be set to CR+LF.</source>
        <translation>此值只能設為 CR+LF。</translation>
    </message>
</context>
<context>
    <name>CMainWindow</name>
    <message>
        <source>No program was found to open the help file %1.</source>
        <translation>找不到可以開啟說明檔 %1 的程式。</translation>
    </message>
    <message>
        <source>The language choice could not be saved in %1.</source>
        <translation>無法將語言選擇儲存至 %1。</translation>
    </message>
    <message>
        <source>No exchange with a drive yet</source>
        <translation>尚未與變頻器通訊</translation>
    </message>
    <message>
        <source>The drive answered the last request</source>
        <translation>變頻器已回應上一次請求</translation>
    </message>
    <message>
        <source>The last request got no valid answer</source>
        <translation>上一次請求未得到有效回應</translation>
    </message>
    <message>
        <source>Korvane protocol</source>
        <translation>Korvane 協定</translation>
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
        <translation>無序列埠</translation>
    </message>
    <message>
        <source>Simulated drives</source>
        <translation>模擬變頻器</translation>
    </message>
    <message>
        <source>%1 (not open)</source>
        <translation>%1（未開啟）</translation>
    </message>
    <message>
        <source>The station list could not be saved in %1.</source>
        <translation>無法將站號清單儲存至 %1。</translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation>導覽</translation>
    </message>
    <message>
        <source>key tone</source>
        <translation>按鍵音</translation>
    </message>
    <message>
        <source>Pr. restoration</source>
        <translation>參數復原</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>錯誤</translation>
    </message>
    <message>
        <source>Can&apos;t open serial port</source>
        <translation>無法開啟序列埠</translation>
    </message>
    <message>
        <source>
 The Specified serial port does not exist or occupied.</source>
        <translation>
 指定的序列埠不存在或已被占用。</translation>
    </message>
    <message>
        <source>Operating mode</source>
        <translation>運轉模式</translation>
    </message>
    <message>
        <source>Inverter Type</source>
        <translation>變頻器型號</translation>
    </message>
    <message>
        <source>Communication Error!</source>
        <translation>通訊錯誤！</translation>
    </message>
    <message>
        <source>Parity Error!</source>
        <translation>同位元檢查錯誤！</translation>
    </message>
    <message>
        <source>Illegal function code!</source>
        <translation>非法功能碼！</translation>
    </message>
    <message>
        <source>Sum Check error!</source>
        <translation>總和檢查錯誤！</translation>
    </message>
    <message>
        <source>Illegal data address!</source>
        <translation>非法資料位址！</translation>
    </message>
    <message>
        <source>Communication protocol error!</source>
        <translation>通訊協定錯誤！</translation>
    </message>
    <message>
        <source>Illegal data value!</source>
        <translation>非法資料值！</translation>
    </message>
    <message>
        <source>Frame error!</source>
        <translation>訊框錯誤！</translation>
    </message>
    <message>
        <source>Overflow error!</source>
        <translation>溢位錯誤！</translation>
    </message>
    <message>
        <source>Abnormal patterns!</source>
        <translation>格式異常！</translation>
    </message>
    <message>
        <source>Command code error!</source>
        <translation>命令碼錯誤！</translation>
    </message>
    <message>
        <source>Material range error!</source>
        <translation>資料範圍錯誤！</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The trend window holds a recording of station %1 %2 that has not been saved. Close it and open a new trend window?</source>
        <translation>趨勢視窗中有站號 %1 %2 的記錄尚未儲存。關閉它並開啟新的趨勢視窗嗎？</translation>
    </message>
</context>
<context>
    <name>CNavigation</name>
    <message>
        <source> station </source>
        <translation> 號站 </translation>
    </message>
    <message>
        <source>Select station: </source>
        <translation>選擇站號：</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>訊息</translation>
    </message>
    <message>
        <source>load saved stations ?</source>
        <translation>載入已儲存的站號嗎？</translation>
    </message>
    <message>
        <source>System setting</source>
        <translation>系統設定</translation>
    </message>
    <message>
        <source>Setting guide</source>
        <translation>設定精靈</translation>
    </message>
    <message>
        <source>The frequency unit (P.187) cannot be read at the broadcast address. Set the frequency station by station.</source>
        <translation>無法在廣播位址讀取頻率單位 (P.187)。請逐個站號設定頻率。</translation>
    </message>
    <message>
        <source>Station 0 is the broadcast address: every drive on the line obeys this command, and none answers. Send commands to all drives?</source>
        <translation>站號 0 是廣播位址：線路上的每台變頻器都會執行此命令，且都不會應答。要向所有變頻器傳送命令嗎？</translation>
    </message>
    <message>
        <source>station %1 %2</source>
        <translation>站號 %1 %2</translation>
    </message>
</context>
<context>
    <name>CParameter</name>
    <message>
        <source>Group mode</source>
        <translation>群組模式</translation>
    </message>
    <message>
        <source>Trad. P mode</source>
        <translation>傳統 P 模式</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名稱</translation>
    </message>
    <message>
        <source>Setting range</source>
        <translation>設定範圍</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>單位</translation>
    </message>
    <message>
        <source>Default value</source>
        <translation>出廠值</translation>
    </message>
    <message>
        <source>Current value</source>
        <translation>目前值</translation>
    </message>
    <message>
        <source>Setting value</source>
        <translation>設定值</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>備註</translation>
    </message>
    <message>
        <source>EXCEL application not found!</source>
        <translation>找不到 EXCEL 應用程式！</translation>
    </message>
    <message>
        <source>Cannot read file %1:
%2.</source>
        <translation>無法讀取檔案 %1：
%2。</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Reading parameters...</source>
        <translation>正在讀取參數...</translation>
    </message>
    <message>
        <source>Writing parameters...</source>
        <translation>正在寫入參數...</translation>
    </message>
    <message>
        <source> Write error!</source>
        <translation> 寫入錯誤！</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>繼續</translation>
    </message>
    <message>
        <source>Nothing can be saved.</source>
        <translation>沒有可儲存的內容。</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>訊息</translation>
    </message>
    <message>
        <source>The last batch read was cut short: rows marked -- were not read from the drive. Save anyway?</source>
        <translation>上一次批次讀取未完成：標記為 -- 的列未從變頻器讀取。仍要儲存嗎？</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>無法寫入檔案 %1：
%2。</translation>
    </message>
    <message>
        <source>the parameters of %1 cannot be stored in this format</source>
        <translation>%1 的參數無法以此格式儲存</translation>
    </message>
    <message>
        <source>The file is not a XBEL file or the type doesn&apos;t match .</source>
        <translation>該檔案不是 XBEL 檔案，或型號不符。</translation>
    </message>
    <message>
        <source>The file is not a XLS file or the type doesn&apos;t match .</source>
        <translation>該檔案不是 XLS 檔案，或型號不符。</translation>
    </message>
    <message>
        <source>XLS Files(*.xls);;XBEL Files(*.xbel)</source>
        <translation>XLS 檔案(*.xls);;XBEL 檔案(*.xbel)</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>儲存檔案</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>開啟檔案</translation>
    </message>
    <message>
        <source>A transfer with the drive is running in the parameter list. Cancel it and show the parameters of %1?</source>
        <translation>參數列表正在與變頻器傳輸資料。要取消傳輸並顯示 %1 的參數嗎？</translation>
    </message>
    <message>
        <source>The parameter list holds settings that were edited or opened from a file and have been neither written to the drive nor saved. Show the parameters of %1 and discard them?</source>
        <translation>參數列表中有已編輯或從檔案開啟的設定值，尚未寫入變頻器也未儲存。要顯示 %1 的參數並放棄這些設定值嗎？</translation>
    </message>
    <message>
        <source>Alarm history clear</source>
        <translation>清除報警履歷</translation>
    </message>
    <message>
        <source>Inverter reset</source>
        <translation>變頻器復位</translation>
    </message>
    <message>
        <source>All parameter clear</source>
        <translation>全部參數清除</translation>
    </message>
    <message>
        <source>Parameter clear</source>
        <translation>參數清除</translation>
    </message>
    <message>
        <source>Run P.%1 (%2) on station %3 %4?</source>
        <translation>在站號 %3 %4 上執行 P.%1（%2）？</translation>
    </message>
    <message>
        <source>The name %1 ends in .%2, but the file type chosen is .%3. Nothing was saved.</source>
        <translation>檔名 %1 的副檔名是 .%2，但所選檔案類型是 .%3。未儲存任何內容。</translation>
    </message>
    <message>
        <source>The name %1 ends in .%2, but the file type chosen is .%3. Nothing was opened.</source>
        <translation>檔名 %1 的副檔名是 .%2，但所選檔案類型是 .%3。未開啟任何檔案。</translation>
    </message>
    <message>
        <source>a parameter file&apos;s name ends in .xls or .xbel</source>
        <translation>參數檔名須以 .xls 或 .xbel 結尾</translation>
    </message>
    <message>
        <source>These parameters were not written: %1.</source>
        <translation>以下參數未寫入：%1。</translation>
    </message>
</context>
<context>
    <name>CSearch</name>
    <message>
        <source>Search</source>
        <translation>搜尋</translation>
    </message>
    <message>
        <source>Did not find the accordant characters</source>
        <translation>找不到相符的字元</translation>
    </message>
</context>
<context>
    <name>CSetType</name>
    <message>
        <source>None</source>
        <translation>無</translation>
    </message>
</context>
<context>
    <name>ComSetDialog</name>
    <message>
        <source>Communication setup</source>
        <translation>通訊設定</translation>
    </message>
    <message>
        <source>Protocol selection:</source>
        <translation>協定選擇：</translation>
    </message>
    <message>
        <source>Korvane protocol</source>
        <translation>Korvane 協定</translation>
    </message>
    <message>
        <source>Serial Port setup</source>
        <translation>序列埠設定</translation>
    </message>
    <message>
        <source>Serial Port:</source>
        <translation>序列埠：</translation>
    </message>
    <message>
        <source>Baud rate:  </source>
        <translation>鮑率：</translation>
    </message>
    <message>
        <source>Data Length:</source>
        <translation>資料位元：</translation>
    </message>
    <message>
        <source>Stop Bit:   </source>
        <translation>停止位元：</translation>
    </message>
    <message>
        <source>Parity Bit: </source>
        <translation>同位元：</translation>
    </message>
    <message>
        <source>None</source>
        <translation>無</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>奇同位</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>偶同位</translation>
    </message>
    <message>
        <source>CR/LF:      </source>
        <translation>結束字元 CR/LF：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
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
        <translation>選項</translation>
    </message>
    <message>
        <source>Max Value</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
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
        <translation>%1 — 站號 %2 %3</translation>
    </message>
</context>
<context>
    <name>HideParameter</name>
    <message>
        <source>Alarm 1</source>
        <translation>警報 1</translation>
    </message>
    <message>
        <source>Alarm </source>
        <translation>警報 </translation>
    </message>
    <message>
        <source>Reading parameters...</source>
        <translation>正在讀取參數...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Read History Alarm</source>
        <translation>讀取歷史警報</translation>
    </message>
    <message>
        <source>Read Run Time</source>
        <translation>讀取運行時間</translation>
    </message>
    <message>
        <source>Save All</source>
        <translation>全部儲存</translation>
    </message>
    <message>
        <source>Service mode</source>
        <translation>維修模式</translation>
    </message>
    <message>
        <source>Read Hide Pr.</source>
        <translation>讀取隱藏參數</translation>
    </message>
    <message>
        <source>Monitor Ram</source>
        <translation>監視 RAM</translation>
    </message>
    <message>
        <source>History Alarm Code:</source>
        <translation>歷史警報代碼:</translation>
    </message>
    <message>
        <source>Accumulative motor operation time:</source>
        <translation>電機累計運行時間:</translation>
    </message>
    <message>
        <source>Hide Parameter List:</source>
        <translation>隱藏參數列表:</translation>
    </message>
    <message>
        <source>NO.</source>
        <translation>編號</translation>
    </message>
    <message>
        <source>Default value</source>
        <translation>預設值</translation>
    </message>
    <message>
        <source>Current value</source>
        <translation>目前值</translation>
    </message>
    <message>
        <source>Save Message</source>
        <translation>儲存訊息</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>無法寫入檔案 %1:
%2。</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>（無）</translation>
    </message>
</context>
<context>
    <name>IOState</name>
    <message>
        <source>I/O State</source>
        <translation>輸入/輸出狀態</translation>
    </message>
</context>
<context>
    <name>InverterState</name>
    <message>
        <source>System State</source>
        <translation>系統狀態</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>運轉中</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>正轉</translation>
    </message>
    <message>
        <source>Reversal</source>
        <translation>反轉</translation>
    </message>
    <message>
        <source>Freq Arrival</source>
        <translation>頻率到達</translation>
    </message>
    <message>
        <source>Overload</source>
        <translation>過載</translation>
    </message>
    <message>
        <source>key tone</source>
        <translation>按鍵音</translation>
    </message>
    <message>
        <source>Pr. restor</source>
        <translation>參數恢復</translation>
    </message>
    <message>
        <source>Freq Detection</source>
        <translation>頻率檢出</translation>
    </message>
    <message>
        <source>Alarm occurrence</source>
        <translation>警報發生</translation>
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
        <translation>趨勢</translation>
    </message>
    <message>
        <source>Drive:</source>
        <translation>變頻器：</translation>
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
        <translation>電壓：</translation>
    </message>
    <message>
        <source>Current:</source>
        <translation>電流：</translation>
    </message>
    <message>
        <source>Channel Select</source>
        <translation>通道選擇</translation>
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
        <translation>線寬</translation>
    </message>
    <message>
        <source>Y-Axis Range</source>
        <translation>Y 軸量程</translation>
    </message>
    <message>
        <source>Channel Value</source>
        <translation>通道值</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>運轉</translation>
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
        <translation>縮小</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>選項</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>儲存資料</translation>
    </message>
    <message>
        <source>Save Chart</source>
        <translation>儲存圖表</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>離開</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>移動</translation>
    </message>
    <message>
        <source>The picture cannot be encoded</source>
        <translation>無法編碼圖片</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>無法寫入檔案 %1：
%2。</translation>
    </message>
    <message>
        <source>The trend window holds a recording that has not been saved. Close it anyway?</source>
        <translation>趨勢視窗中的記錄尚未儲存。仍要關閉嗎？</translation>
    </message>
    <message>
        <source>The name %1 ends in .%2; the chart is saved in a file ending in .png.</source>
        <translation>檔案名稱 %1 的副檔名為 .%2；圖表只能儲存為副檔名為 .png 的檔案。</translation>
    </message>
    <message>
        <source>Value axis:</source>
        <translation>數值軸：</translation>
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
        <translation>監視</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>選項</translation>
    </message>
    <message>
        <source> Clear</source>
        <translation> 清除</translation>
    </message>
    <message>
        <source>Sample Value</source>
        <translation>取樣值</translation>
    </message>
    <message>
        <source>Alarm Code</source>
        <translation>警報代碼</translation>
    </message>
    <message>
        <source>System Diagnosis</source>
        <translation>系統診斷</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>運轉</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>離開</translation>
    </message>
    <message>
        <source>Inverter Type:</source>
        <translation>變頻器型號：</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>版本：</translation>
    </message>
    <message>
        <source>Output Current:</source>
        <translation>輸出電流：</translation>
    </message>
    <message>
        <source>Input Voltage:</source>
        <translation>輸入電壓：</translation>
    </message>
    <message>
        <source>kw:</source>
        <translation>功率：</translation>
    </message>
    <message>
        <source>Output Frequency</source>
        <translation>輸出頻率</translation>
    </message>
    <message>
        <source>Output Voltage</source>
        <translation>輸出電壓</translation>
    </message>
    <message>
        <source>Output Current</source>
        <translation>輸出電流</translation>
    </message>
    <message>
        <source>Target Frequency</source>
        <translation>目標頻率</translation>
    </message>
    <message>
        <source>2-5 Analog signal input</source>
        <translation>2-5 類比訊號輸入</translation>
    </message>
    <message>
        <source>4-5 Analog signal input</source>
        <translation>4-5 類比訊號輸入</translation>
    </message>
    <message>
        <source>AM Analog signal output</source>
        <translation>AM 類比訊號輸出</translation>
    </message>
    <message>
        <source>DC-Bus Voltage</source>
        <translation>直流匯流排電壓</translation>
    </message>
    <message>
        <source>The thermal accumulating record</source>
        <translation>電子熱累積記錄</translation>
    </message>
    <message>
        <source>The accumulation rate of temperature</source>
        <translation>溫升累積率</translation>
    </message>
    <message>
        <source>Input status of external terminal</source>
        <translation>外部端子輸入狀態</translation>
    </message>
    <message>
        <source>Output status of external terminal</source>
        <translation>外部端子輸出狀態</translation>
    </message>
    <message>
        <source>Input voltage of terminal 2-5</source>
        <translation>端子 2-5 輸入電壓</translation>
    </message>
    <message>
        <source>Input voltage/current of terminal 4-5</source>
        <translation>端子 4-5 輸入電壓/電流</translation>
    </message>
    <message>
        <source>Output voltage of terminal AM1-5</source>
        <translation>端子 AM1-5 輸出電壓</translation>
    </message>
    <message>
        <source>DC bus voltage</source>
        <translation>直流匯流排電壓</translation>
    </message>
    <message>
        <source>Electronic thermal accumulation rate</source>
        <translation>電子熱累積率</translation>
    </message>
    <message>
        <source>Temperature rising accumulation rate</source>
        <translation>溫升累積率</translation>
    </message>
    <message>
        <source>Output power</source>
        <translation>輸出功率</translation>
    </message>
    <message>
        <source>NTC module temperature</source>
        <translation>NTC 模組溫度</translation>
    </message>
    <message>
        <source>Electronic thermal accumulation rate of motor</source>
        <translation>馬達電子熱累積率</translation>
    </message>
    <message>
        <source>PID aim pressure</source>
        <translation>PID 目標壓力</translation>
    </message>
    <message>
        <source>PID feedback pressure</source>
        <translation>PID 回授壓力</translation>
    </message>
    <message>
        <source>Rotating speed fedback by PG</source>
        <translation>PG 回授轉速</translation>
    </message>
    <message>
        <source>Input frequency of terminal HDI</source>
        <translation>端子 HDI 輸入頻率</translation>
    </message>
    <message>
        <source>Input voltage of terminal 1-5</source>
        <translation>端子 1-5 輸入電壓</translation>
    </message>
    <message>
        <source>Output voltage of terminal AM2-5</source>
        <translation>端子 AM2-5 輸出電壓</translation>
    </message>
    <message>
        <source>Output torque</source>
        <translation>輸出轉矩</translation>
    </message>
    <message>
        <source>Input voltage of terminal 3-5</source>
        <translation>端子 3-5 輸入電壓</translation>
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
        <translation>系統(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Parameter list</source>
        <translation>參數列表(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Communication setup</source>
        <translation>通訊設定(&amp;C)</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>語言</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>說明(&amp;H)</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>Output current monitoring</source>
        <translation>輸出電流監視</translation>
    </message>
    <message>
        <source>Output voltage monitoring</source>
        <translation>輸出電壓監視</translation>
    </message>
    <message>
        <source>All &amp;Parameters list</source>
        <translation>全部參數列表(&amp;P)</translation>
    </message>
    <message>
        <source>Motor/torque</source>
        <translation>馬達/轉矩</translation>
    </message>
    <message>
        <source>Frequency setting</source>
        <translation>頻率設定</translation>
    </message>
    <message>
        <source>Acceleration/ deceleration setting</source>
        <translation>加/減速設定</translation>
    </message>
    <message>
        <source>Protection</source>
        <translation>保護</translation>
    </message>
    <message>
        <source>Output frequency monitoring</source>
        <translation>輸出頻率監視</translation>
    </message>
    <message>
        <source>&amp;Monitor</source>
        <translation>監視(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;Communication Setup Wizard</source>
        <translation>通訊設定精靈(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Version Information</source>
        <translation>版本資訊(&amp;V)</translation>
    </message>
    <message>
        <source>Chinese(simplified)</source>
        <translation>簡體中文</translation>
    </message>
    <message>
        <source>Chinese(traditional)</source>
        <translation>繁體中文</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>開啟(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>儲存(&amp;S)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>結束(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Trend</source>
        <translation>趨勢(&amp;T)</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>參數</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>監視</translation>
    </message>
    <message>
        <source>Trend</source>
        <translation>趨勢</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>說明</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>結束</translation>
    </message>
</context>
<context>
    <name>NavForm</name>
    <message>
        <source>Navigation</source>
        <translation>導覽</translation>
    </message>
    <message>
        <source>1. Double-click a station to set the type and power of its drive.&lt;br&gt;2. Click a typed station to make it the current one: the parameter list shows its parameters.&lt;br&gt;3. CU, EXT and JOG switch the operation mode; FWD, REV and STOP run and stop the drive; SET sends the frequency.</source>
        <translation>1. 按兩下站號，設定該站變頻器的機型與功率。&lt;br&gt;2. 按一下已設定機型的站號，使其成為目前站：參數列表顯示其參數。&lt;br&gt;3. CU、EXT 與 JOG 切換運轉模式；FWD、REV 與 STOP 使變頻器運轉與停止；SET 送出頻率。</translation>
    </message>
    <message>
        <source>Operation mode</source>
        <translation>運轉模式</translation>
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
        <translation>頻率</translation>
    </message>
    <message>
        <source>SET</source>
        <translation>SET</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>運轉</translation>
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
        <translation>選項</translation>
    </message>
    <message>
        <source>X-Axis</source>
        <translation>X 軸</translation>
    </message>
    <message>
        <source>Seconds per page</source>
        <translation>每頁秒數</translation>
    </message>
    <message>
        <source>Y-Axis</source>
        <translation>Y 軸</translation>
    </message>
    <message>
        <source>Max Value</source>
        <translation>最大值</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
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
        <translation>從站號 %1 %2 讀取的參數未放入表格：表格現在顯示的是另一台變頻器。</translation>
    </message>
    <message>
        <source>The table changed while it was read: no row is left for the values of %1.</source>
        <translation>讀取期間表格已改變：%1 的值已無對應列。</translation>
    </message>
</context>
<context>
    <name>ParameterDelegate</name>
    <message>
        <source>Differs from the current value %1</source>
        <translation>與目前值 %1 不同</translation>
    </message>
    <message>
        <source>Outside the setting range %1</source>
        <translation>超出設定範圍 %1</translation>
    </message>
</context>
<context>
    <name>ParameterForm</name>
    <message>
        <source>Parameter list</source>
        <translation>參數列表</translation>
    </message>
    <message>
        <source>Batch Read</source>
        <translation>批次讀取</translation>
    </message>
    <message>
        <source>Batch Write</source>
        <translation>批次寫入</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>讀取</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>寫入</translation>
    </message>
    <message>
        <source>Clear the current value</source>
        <translation>清除目前值</translation>
    </message>
    <message>
        <source>Clear the setting value</source>
        <translation>清除設定值</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜尋</translation>
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
        <translation>寫入目前值</translation>
    </message>
    <message>
        <source>open</source>
        <translation>開啟</translation>
    </message>
    <message>
        <source>save</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>Show All Parameter</source>
        <translation>顯示全部參數</translation>
    </message>
    <message>
        <source>Show Select Parameter</source>
        <translation>顯示選定參數</translation>
    </message>
</context>
<context>
    <name>ParameterTable</name>
    <message>
        <source>P.%1: &quot;%2&quot; is no number. Its range is %3.</source>
        <translation>P.%1：「%2」不是數字。其範圍為 %3。</translation>
    </message>
    <message>
        <source>P.%1: %2 is outside its range %3.</source>
        <translation>P.%1：%2 超出其範圍 %3。</translation>
    </message>
</context>
<context>
    <name>PassWordDialog</name>
    <message>
        <source>Password</source>
        <translation>密碼</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密碼：</translation>
    </message>
</context>
<context>
    <name>PassWordDlg</name>
    <message>
        <source>Password Error !</source>
        <translation>密碼錯誤！</translation>
    </message>
</context>
<context>
    <name>Plot</name>
    <message>
        <source>y -- &gt; Value</source>
        <translation>y -- &gt; 數值</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>儲存資料</translation>
    </message>
</context>
<context>
    <name>PortSetup</name>
    <message>
        <source>The port %1 does not take %2; it runs with %3.</source>
        <translation>序列埠 %1 不支援 %2，實際使用 %3。</translation>
    </message>
    <message>
        <source>odd parity</source>
        <translation>奇同位</translation>
    </message>
    <message>
        <source>even parity</source>
        <translation>偶同位</translation>
    </message>
    <message>
        <source>no parity</source>
        <translation>無同位</translation>
    </message>
    <message>
        <source>%1 baud</source>
        <translation>%1 鮑</translation>
    </message>
    <message>
        <source>%1 data bits</source>
        <translation>%1 個資料位元</translation>
    </message>
    <message>
        <source>%1 stop bits</source>
        <translation>%1 個停止位元</translation>
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
        <translation>位址</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>長度</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>類型</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>數值</translation>
    </message>
    <message>
        <source>Ch1</source>
        <translation>通道1</translation>
    </message>
    <message>
        <source>8bit</source>
        <translation>8位元</translation>
    </message>
    <message>
        <source>16bit</source>
        <translation>16位元</translation>
    </message>
    <message>
        <source>32bit</source>
        <translation>32位元</translation>
    </message>
    <message>
        <source>Ch2</source>
        <translation>通道2</translation>
    </message>
    <message>
        <source>Set Pen Color</source>
        <translation>曲線顏色</translation>
    </message>
    <message>
        <source>Set Pen Width</source>
        <translation>曲線寬度</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>運轉</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>選項</translation>
    </message>
    <message>
        <source>Save Data</source>
        <translation>儲存資料</translation>
    </message>
    <message>
        <source>Save Chart</source>
        <translation>儲存圖表</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密碼</translation>
    </message>
    <message>
        <source>Cannot write file %1:
%2.</source>
        <translation>無法寫入檔案 %1：
%2。</translation>
    </message>
    <message>
        <source>The native protocol cannot read drive memory. Choose Modbus RTU or Modbus ASCII to monitor RAM.</source>
        <translation>原生協定無法讀取變頻器記憶體。請選擇 Modbus RTU 或 Modbus ASCII 來監控 RAM。</translation>
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
        <translation>無法讀取檔案 %1：
%2。</translation>
    </message>
</context>
<context>
    <name>SearchDialog</name>
    <message>
        <source>Search</source>
        <translation>搜尋</translation>
    </message>
    <message>
        <source>Character String:</source>
        <translation>搜尋字串：</translation>
    </message>
    <message>
        <source>Match Case</source>
        <translation>全字相符</translation>
    </message>
    <message>
        <source>Case sensitive</source>
        <translation>區分大小寫</translation>
    </message>
    <message>
        <source>Upward search</source>
        <translation>向上搜尋</translation>
    </message>
    <message>
        <source>Downward search</source>
        <translation>向下搜尋</translation>
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
        <translation>顯示選定參數</translation>
    </message>
    <message>
        <source>Not shown</source>
        <translation>不顯示</translation>
    </message>
    <message>
        <source>Shown</source>
        <translation>顯示</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>新增</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
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
        <translation>變頻器機型設定</translation>
    </message>
    <message>
        <source>Please choose station number ,type and  power of the inverter.</source>
        <translation>請選擇變頻器的站號、機型與功率。</translation>
    </message>
    <message>
        <source>Station:</source>
        <translation>站號：</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>機型：</translation>
    </message>
    <message>
        <source>Power:</source>
        <translation>功率：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
</TS>

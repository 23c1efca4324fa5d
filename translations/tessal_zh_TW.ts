<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="zh_CN">
<context>
    <name>AlertPresenter</name>
    <message>
        <source>知道了</source>
        <translation>知道了</translation>
    </message>
</context>
<context>
    <name>AnnotationHost</name>
    <message>
        <source>无法保存截图</source>
        <translation>無法儲存截圖</translation>
    </message>
    <message>
        <source>内存不足，无法生成 PNG 图片，文件没有写入。</source>
        <translation>記憶體不足，無法產生 PNG 圖片，檔案沒有寫入。</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>知道了</translation>
    </message>
</context>
<context>
    <name>AnnotationTextView</name>
    <message>
        <source>回车换行，%1 确认，Esc 取消</source>
        <translation>Enter 換行，%1 確認，Esc 取消</translation>
    </message>
</context>
<context>
    <name>AnnotationToolbar</name>
    <message>
        <source>%1 · %2 · 按住空格临时移动</source>
        <translation>%1 · %2 · 按住空白鍵暫時移動</translation>
    </message>
    <message>
        <source>马赛克</source>
        <translation>馬賽克</translation>
    </message>
    <message>
        <source>涂抹</source>
        <translation>塗抹</translation>
    </message>
    <message>
        <source>框选</source>
        <translation>框選</translation>
    </message>
    <message>
        <source>马赛克模式</source>
        <translation>馬賽克模式</translation>
    </message>
    <message>
        <source>笔刷大小</source>
        <translation>筆刷大小</translation>
    </message>
    <message>
        <source>文字／编号字号（10–96）</source>
        <translation>文字／編號字級（10–96）</translation>
    </message>
    <message>
        <source>文字／编号字号</source>
        <translation>文字／編號字級</translation>
    </message>
    <message>
        <source>字号</source>
        <translation>字級</translation>
    </message>
    <message>
        <source>已复制</source>
        <translation>已複製</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>複製</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>截图  %1</source>
        <translation>截圖  %1</translation>
    </message>
    <message>
        <source>原设置文件已损坏且无法移到一旁，已原样保留</source>
        <translation>原設定檔已損毀且無法移到一旁，已原樣保留</translation>
    </message>
    <message>
        <source>快捷键 %1 注册失败，可能已被其他应用或系统占用。可从菜单栏设置其他快捷键，或点击截图。</source>
        <translation>快速鍵 %1 註冊失敗，可能已被其他應用程式或系統佔用。可從選單列設定其他快速鍵，或點選截圖。</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>延时截图</source>
        <translation>延遲截圖</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>取消延时截图</source>
        <translation>取消延遲截圖</translation>
    </message>
    <message>
        <source>重复上次区域</source>
        <translation>重複上次區域</translation>
    </message>
    <message>
        <source>设置截图快捷键…</source>
        <translation>設定截圖快速鍵…</translation>
    </message>
    <message>
        <source>截图偏好…</source>
        <translation>截圖偏好設定…</translation>
    </message>
    <message>
        <source>截图历史…</source>
        <translation>截圖歷史紀錄…</translation>
    </message>
    <message>
        <source>开机启动</source>
        <translation>開機時啟動</translation>
    </message>
    <message>
        <source>退出Tessal</source>
        <translation>結束 Tessal</translation>
    </message>
    <message>
        <source>Tessal截图</source>
        <translation>Tessal 截圖</translation>
    </message>
    <message>
        <source>Tessal截图 · %1 秒后截图</source>
        <translation>Tessal 截圖 · %1 秒後截圖</translation>
    </message>
    <message>
        <source>按 %1 截图</source>
        <translation>按 %1 截圖</translation>
    </message>
    <message>
        <source>运行 tessal capture 截图</source>
        <translation>執行 tessal capture 截圖</translation>
    </message>
    <message>
        <source>；托盘图标里有更多功能。</source>
        <translation>；系統匣圖示裡有更多功能。</translation>
    </message>
    <message>
        <source>。</source>
        <translation>。</translation>
    </message>
    <message>
        <source>Tessal 正在运行</source>
        <translation>Tessal 正在執行</translation>
    </message>
    <message>
        <source>无法保存设置</source>
        <translation>無法儲存設定</translation>
    </message>
    <message>
        <source>设置文件“%1”无法写入：%2。更改只在本次运行期间有效。</source>
        <translation>設定檔「%1」無法寫入：%2。變更只在本次執行期間有效。</translation>
    </message>
    <message>
        <source>无法注册 %1，请换一个组合键。原快捷键保持不变。</source>
        <translation>無法註冊 %1，請換一組按鍵。原快速鍵保持不變。</translation>
    </message>
    <message>
        <source>无法重复上次区域</source>
        <translation>無法重複上次區域</translation>
    </message>
    <message>
        <source>无法开始长截图</source>
        <translation>無法開始長截圖</translation>
    </message>
    <message>
        <source>长截图</source>
        <translation>長截圖</translation>
    </message>
    <message>
        <source>历史截图</source>
        <translation>歷史截圖</translation>
    </message>
    <message>
        <source>无法选中这个区域</source>
        <translation>無法選取這個區域</translation>
    </message>
</context>
<context>
    <name>AppRelease</name>
    <message>
        <source>无法解析服务器返回的更新信息。</source>
        <translation>無法解析伺服器傳回的更新資訊。</translation>
    </message>
    <message>
        <source>服务器返回了无效的响应。</source>
        <translation>伺服器傳回了無效的回應。</translation>
    </message>
    <message>
        <source>更新信息的格式不正确（%1）。</source>
        <translation>更新資訊的格式不正確（%1）。</translation>
    </message>
</context>
<context>
    <name>AppServices</name>
    <message>
        <source>
请稍后通过“检查更新”重试。</source>
        <translation>
請稍後透過「檢查更新」重試。</translation>
    </message>
    <message>
        <source>暂时无法安装更新</source>
        <translation>暫時無法安裝更新</translation>
    </message>
    <message>
        <source>更新由安装本程序的软件包管理器提供</source>
        <translation>更新由安裝本程式的套件管理員提供</translation>
    </message>
    <message>
        <source>此版本未启用应用内更新</source>
        <translation>此版本未啟用應用程式內更新</translation>
    </message>
    <message>
        <source>正在准备更新</source>
        <translation>正在準備更新</translation>
    </message>
    <message>
        <source>下载和校验完成后会提示重启安装。</source>
        <translation>下載和驗證完成後會提示重新啟動安裝。</translation>
    </message>
    <message>
        <source>更新通道尚未上线</source>
        <translation>更新管道尚未上線</translation>
    </message>
    <message>
        <source>当前构建未启用更新检测，请从%1官网下载支持检查更新的新版本。</source>
        <translation>目前組建未啟用更新檢查，請從 %1 官網下載支援檢查更新的新版本。</translation>
    </message>
    <message>
        <source>暂时无法检查更新</source>
        <translation>暫時無法檢查更新</translation>
    </message>
    <message>
        <source>已是最新版本</source>
        <translation>已是最新版本</translation>
    </message>
    <message>
        <source>需要更新系统</source>
        <translation>需要更新系統</translation>
    </message>
    <message>
        <source>新版本需要 glibc %1 或更新版本的系统。</source>
        <translation>新版本需要 glibc %1 或更新版本的系統。</translation>
    </message>
    <message>
        <source>更新已就绪</source>
        <translation>更新已就緒</translation>
    </message>
    <message>
        <source>请先结束截图并关闭编辑窗口，再通过“检查更新”重启安装。</source>
        <translation>請先結束截圖並關閉編輯視窗，再透過「檢查更新」重新啟動安裝。</translation>
    </message>
    <message>
        <source>%1 %2 更新已就绪</source>
        <translation>%1 %2 更新已就緒</translation>
    </message>
    <message>
        <source>%1

重启后自动安装，偏好和截图历史会保留。</source>
        <translation>%1

重新啟動後自動安裝，偏好設定和截圖歷史紀錄會保留。</translation>
    </message>
    <message>
        <source>重启并更新</source>
        <translation>重新啟動並更新</translation>
    </message>
    <message>
        <source>稍后</source>
        <translation>稍後</translation>
    </message>
    <message>
        <source>上次更新未完成</source>
        <translation>上次更新未完成</translation>
    </message>
    <message>
        <source>无法修改开机启动</source>
        <translation>無法變更開機啟動</translation>
    </message>
    <message>
        <source>请先将%1安装到固定位置（例如 ~/.local/opt），再重试。也可以在桌面环境的“自动启动”设置中管理。</source>
        <translation>請先將 %1 安裝到固定位置（例如 ~/.local/opt），再重試。也可以在桌面環境的「自動啟動」設定中管理。</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>知道了</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>更新应用的标识或版本不匹配。</source>
        <translation>更新應用程式的識別碼或版本不相符。</translation>
    </message>
    <message>
        <source>更新文件处理失败（%1）。原应用未被替换。</source>
        <translation>更新檔案處理失敗（%1）。原應用程式未被取代。</translation>
    </message>
    <message>
        <source>请先将应用放到有写入权限的安装目录（例如 ~/.local/opt），再重试应用内更新。</source>
        <translation>請先將應用程式放到有寫入權限的安裝目錄（例如 ~/.local/opt），再重試應用程式內更新。</translation>
    </message>
    <message>
        <source>更新应用的芯片架构不匹配。</source>
        <translation>更新應用程式的處理器架構不相符。</translation>
    </message>
    <message>
        <source>更新应用签名校验失败，或与当前应用的签名身份不一致。</source>
        <translation>更新應用程式的簽章驗證失敗，或與目前應用程式的簽章身分不一致。</translation>
    </message>
    <message>
        <source>更新包下载失败，请检查网络。</source>
        <translation>更新套件下載失敗，請檢查網路。</translation>
    </message>
    <message>
        <source>更新包大小不匹配。</source>
        <translation>更新套件大小不相符。</translation>
    </message>
    <message>
        <source>更新包大小或 SHA-256 校验失败，已停止安装。</source>
        <translation>更新套件大小或 SHA-256 驗證失敗，已停止安裝。</translation>
    </message>
    <message>
        <source>更新包中未找到唯一匹配的应用。</source>
        <translation>更新套件中找不到唯一相符的應用程式。</translation>
    </message>
</context>
<context>
    <name>AutoScroller</name>
    <message>
        <source>画面未变化，自动滚动已停止。可手动继续，或直接复制。</source>
        <translation>畫面沒有變化，自動捲動已停止。可手動繼續，或直接複製。</translation>
    </message>
    <message>
        <source>自动滚动已停止。请沿刚才滚动的反方向稍作回滚，匹配恢复后可继续。</source>
        <translation>自動捲動已停止。請朝剛才捲動的反方向稍微往回捲，畫面重新對上後即可繼續。</translation>
    </message>
    <message>
        <source>已切换应用，自动滚动停止。</source>
        <translation>已切換到其他應用程式，自動捲動停止。</translation>
    </message>
    <message>
        <source>目标区域被遮挡，自动滚动停止。</source>
        <translation>目標區域被遮住，自動捲動停止。</translation>
    </message>
    <message>
        <source>无法向原窗口发送滚动，自动滚动停止；仍可手动滚动。</source>
        <translation>無法向原視窗傳送捲動，自動捲動停止；仍可手動捲動。</translation>
    </message>
</context>
<context>
    <name>CapturePreferencesWindow</name>
    <message>
        <source>Tessal · 截图偏好</source>
        <translation>Tessal · 截圖偏好設定</translation>
    </message>
    <message>
        <source>复制后退出截图</source>
        <translation>複製後結束截圖</translation>
    </message>
    <message>
        <source>保留截图历史</source>
        <translation>保留截圖歷史紀錄</translation>
    </message>
    <message>
        <source>%1 张</source>
        <translation>%1 張</translation>
    </message>
    <message>
        <source>历史仅存本机，容量上限 200 MB；关闭后停止记录，已有的历史保留，可在截图历史中删除或清空。</source>
        <translation>歷史紀錄只存在本機，容量上限 200 MB；關閉後停止記錄，已有的紀錄保留，可在截圖歷史紀錄中刪除或清除。</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>跟隨系統</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>語言</translation>
    </message>
    <message>
        <source>下次启动 Tessal 时生效</source>
        <translation>下次啟動 Tessal 時生效</translation>
    </message>
    <message>
        <source>截图后默认工具</source>
        <translation>截圖後預設工具</translation>
    </message>
    <message>
        <source>历史数量上限</source>
        <translation>歷史數量上限</translation>
    </message>
    <message>
        <source>无法整理截图历史</source>
        <translation>無法整理截圖歷史紀錄</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>截图时显示指针</source>
        <translation>截圖時顯示指標</translation>
    </message>
    <message>
        <source>把指针画进截图（包括截图时冻结的画面）</source>
        <translation>把指標畫進截圖（包括截圖時凍結的畫面）</translation>
    </message>
</context>
<context>
    <name>ChildRegionPermissionGuide</name>
    <message>
        <source>增强自动选区识别</source>
        <translation>增強自動選取範圍辨識</translation>
    </message>
    <message>
        <source>Tessal已默认按图像边界识别卡片和面板。允许辅助功能后，还能补充应用的控件层级，识别更准确。

点击“去开启”，Tessal会为当前桌面会话打开辅助功能（AT-SPI），并打开桌面的辅助功能设置。随后回到要截图的窗口，再按 %1。

选择“先截图”也能使用图像自动选区和手动框选。</source>
        <translation>Tessal 已預設依影像邊界辨識卡片和面板。允許輔助使用功能後，還能補充應用程式的控制項階層，辨識更準確。

點選「前往開啟」，Tessal 會為目前的桌面工作階段開啟輔助使用功能（AT-SPI），並開啟桌面的輔助使用設定。接著回到要截圖的視窗，再按 %1。

選擇「先截圖」也能使用影像自動選取和手動框選。</translation>
    </message>
    <message>
        <source>去开启</source>
        <translation>前往開啟</translation>
    </message>
    <message>
        <source>先截图</source>
        <translation>先截圖</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>图片太大（%1 × %2 像素），最多可读 %3 万像素</source>
        <translation>圖片太大（%1 × %2 像素），最多可讀取 %3 萬像素</translation>
    </message>
    <message>
        <source>--region 需要 X,Y,W,H，宽和高为正数</source>
        <translation>--region 需要 X,Y,W,H，寬與高須為正數</translation>
    </message>
    <message>
        <source>--delay 需要 0 到 60 之间的秒数</source>
        <translation>--delay 需要 0 到 60 之間的秒數</translation>
    </message>
    <message>
        <source>--display 需要一个不小于 0 的整数</source>
        <translation>--display 需要一個不小於 0 的整數</translation>
    </message>
    <message>
        <source>--last-region 不能与其他选项同用</source>
        <translation>--last-region 不能與其他選項同時使用</translation>
    </message>
    <message>
        <source>--list-windows 不能与其他选项同用</source>
        <translation>--list-windows 不能與其他選項同時使用</translation>
    </message>
    <message>
        <source>regions 需要 --window</source>
        <translation>regions 需要 --window</translation>
    </message>
    <message>
        <source>--window 需要 X,Y,W,H，宽和高为正数</source>
        <translation>--window 需要 X,Y,W,H，寬與高須為正數</translation>
    </message>
    <message>
        <source>--screen 需要 W,H，均为正数</source>
        <translation>--screen 需要 W,H，兩者皆須為正數</translation>
    </message>
    <message>
        <source>stitch 需要 -o 输出文件</source>
        <translation>stitch 需要以 -o 指定輸出檔案</translation>
    </message>
    <message>
        <source>--lang 需要语言</source>
        <translation>--lang 需要語言</translation>
    </message>
    <message>
        <source>显示这个命令的帮助</source>
        <translation>顯示這個命令的說明</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>檔案</translation>
    </message>
    <message>
        <source>启动 Tessal；已在运行时，由通知告知</source>
        <translation>啟動 Tessal；已在執行時，以通知告知</translation>
    </message>
    <message>
        <source>显示版本</source>
        <translation>顯示版本</translation>
    </message>
    <message>
        <source>显示帮助</source>
        <translation>顯示說明</translation>
    </message>
    <message>
        <source>等待这么多秒后再截图（0 到 60，可带小数）</source>
        <translation>等待這麼多秒後再截圖（0 到 60，可帶小數）</translation>
    </message>
    <message>
        <source>再次截取上次复制、保存或贴图的区域</source>
        <translation>再次擷取上次複製、儲存或釘選的區域</translation>
    </message>
    <message>
        <source>写入的 PNG 文件；- 表示标准输出</source>
        <translation>要寫入的 PNG 檔案；- 表示標準輸出</translation>
    </message>
    <message>
        <source>显示器序号（0 为主显示器）</source>
        <translation>顯示器編號（0 為主顯示器）</translation>
    </message>
    <message>
        <source>打开一张 PNG 或 JPEG 图片进行标注</source>
        <translation>開啟一張 PNG 或 JPEG 圖片進行標註</translation>
    </message>
    <message>
        <source>打开截图历史窗口</source>
        <translation>開啟截圖歷史視窗</translation>
    </message>
    <message>
        <source>打开截图偏好设置窗口</source>
        <translation>開啟截圖偏好設定視窗</translation>
    </message>
    <message>
        <source>列出截图中一个窗口里找到的面板（屏幕局部点坐标，原点在左下角，从小到大）</source>
        <translation>列出截圖中某個視窗裡找到的面板（螢幕局部點座標，原點在左下角，由小到大）</translation>
    </message>
    <message>
        <source>窗口在截图中的位置，屏幕局部点坐标</source>
        <translation>視窗在截圖中的位置，螢幕局部點座標</translation>
    </message>
    <message>
        <source>显示器的点尺寸（默认为图片尺寸）</source>
        <translation>顯示器的點尺寸（預設為圖片尺寸）</translation>
    </message>
    <message>
        <source>把一个滚动区域的各帧拼接成一张图片</source>
        <translation>將一個捲動區域的各影格拼接成一張圖片</translation>
    </message>
    <message>
        <source>滚动方向</source>
        <translation>捲動方向</translation>
    </message>
    <message>
        <source>不自动裁去固定的页眉和页脚</source>
        <translation>不自動裁去固定的頁首與頁尾</translation>
    </message>
    <message>
        <source>写入的 PNG 文件</source>
        <translation>要寫入的 PNG 檔案</translation>
    </message>
    <message>
        <source>输出图片中的文字，每读出一行输出一行</source>
        <translation>輸出圖片中的文字，每讀出一行輸出一行</translation>
    </message>
    <message>
        <source>要识别的语言，以逗号分隔</source>
        <translation>要辨識的語言，以逗號分隔</translation>
    </message>
    <message>
        <source>--dump-man 不带参数</source>
        <translation>--dump-man 不帶參數</translation>
    </message>
    <message>
        <source>--dump-completions 需要 bash、zsh 或 fish</source>
        <translation>--dump-completions 需要 bash、zsh 或 fish</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>多餘的參數：%1</translation>
    </message>
    <message>
        <source>未知的命令：%1</source>
        <translation>未知的命令：%1</translation>
    </message>
    <message>
        <source>%1 需要 %2</source>
        <translation>%1 需要 %2</translation>
    </message>
    <message>
        <source>--%1 不认识的值：%2（可用：%3）</source>
        <translation>--%1 不認得的值：%2（可用：%3）</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>被用户取消</source>
        <translation>被使用者取消</translation>
    </message>
    <message>
        <source>用法或输入有误</source>
        <translation>用法或輸入有誤</translation>
    </message>
    <message>
        <source>截图失败（原因写在标准错误上）</source>
        <translation>截圖失敗（原因寫在標準錯誤上）</translation>
    </message>
    <message>
        <source>用法：%1 [命令] [选项]
</source>
        <translation>用法：%1 [命令] [選項]
</translation>
    </message>
    <message>
        <source>命令：
</source>
        <translation>命令：
</translation>
    </message>
    <message>
        <source>选项：
</source>
        <translation>選項：
</translation>
    </message>
    <message>
        <source>每个命令的选项：tessal 命令 --help
</source>
        <translation>各命令的選項：tessal 命令 --help
</translation>
    </message>
    <message>
        <source>用法：%1
</source>
        <translation>用法：%1
</translation>
    </message>
    <message>
        <source>退出状态：
</source>
        <translation>結束狀態：
</translation>
    </message>
    <message>
        <source>截图、标注、文字识别与长截图</source>
        <translation>截圖、標註、文字辨識與長截圖</translation>
    </message>
    <message>
        <source>tessal: 无法写入 %1：%2
</source>
        <translation>tessal: 無法寫入 %1：%2
</translation>
    </message>
    <message>
        <source>不是可以识别的图片格式</source>
        <translation>不是可以辨識的圖片格式</translation>
    </message>
    <message>
        <source>图片已损坏或不完整</source>
        <translation>圖片已損毀或不完整</translation>
    </message>
    <message>
        <source>--window 需要窗口编号（--list-windows 所列的 id）</source>
        <translation>--window 需要視窗編號（--list-windows 所列的 id）</translation>
    </message>
    <message>
        <source>--full、--region、--window、--active-window 和 --window-under-pointer 只能选一个</source>
        <translation>--full、--region、--window、--active-window 和 --window-under-pointer 只能擇一</translation>
    </message>
    <message>
        <source>--full、--region 和窗口选项不能与 --list-windows 同用</source>
        <translation>--full、--region 和視窗選項不能與 --list-windows 同時使用</translation>
    </message>
    <message>
        <source>--display 不能与窗口选项同用：窗口在哪个显示器上就截哪个</source>
        <translation>--display 不能與視窗選項同時使用：視窗在哪個顯示器上就擷取哪個</translation>
    </message>
    <message>
        <source>--display 需要 --full 或 --region</source>
        <translation>--display 需要 --full 或 --region</translation>
    </message>
    <message>
        <source>-o、--clipboard、--pin、--edit 和 --print-geometry 需要 --full、--region 或窗口选项</source>
        <translation>-o、--clipboard、--pin、--edit 和 --print-geometry 需要 --full、--region 或視窗選項</translation>
    </message>
    <message>
        <source>--accept-on-select 只用于交互截图，不能与 -o、--clipboard、--pin、--edit 或 --print-geometry 同用</source>
        <translation>--accept-on-select 只用於互動截圖，不能與 -o、--clipboard、--pin、--edit 或 --print-geometry 同時使用</translation>
    </message>
    <message>
        <source>--pointer 只用于不经界面的截图；交互截图是否显示指针由偏好设置决定</source>
        <translation>--pointer 只用於不經介面的截圖；互動截圖是否顯示指標由偏好設定決定</translation>
    </message>
    <message>
        <source>--full 和窗口选项需要 -o 文件（或 -o -）、--clipboard、--pin、--edit 或 --print-geometry</source>
        <translation>--full 和視窗選項需要 -o 檔案（或 -o -）、--clipboard、--pin、--edit 或 --print-geometry</translation>
    </message>
    <message>
        <source>在运行中的 Tessal 里开始截图；给出来源（--full、--region 或窗口）和去处时不经界面直接截取</source>
        <translation>在執行中的 Tessal 裡開始截圖；指定來源（--full、--region 或視窗）和去處時不經介面直接擷取</translation>
    </message>
    <message>
        <source>截取整个显示器，不经界面</source>
        <translation>擷取整個顯示器，不經介面</translation>
    </message>
    <message>
        <source>截取显示器的一部分：以显示器左下角为原点的点坐标，与 --list-windows 所列相同；超出显示器的部分被裁去并说明，完全在外则拒绝；没有去处时打开交互截图并选中这个区域</source>
        <translation>擷取顯示器的一部分：以顯示器左下角為原點的點座標，與 --list-windows 所列相同；超出顯示器的部分會被裁去並說明，完全在外則拒絕；沒有去處時開啟互動截圖並選取這個區域</translation>
    </message>
    <message>
        <source>截取编号为 ID 的窗口（含边框，--list-windows 列出编号）</source>
        <translation>擷取編號為 ID 的視窗（含邊框，--list-windows 列出編號）</translation>
    </message>
    <message>
        <source>截取当前活动的窗口（含边框）</source>
        <translation>擷取目前作用中的視窗（含邊框）</translation>
    </message>
    <message>
        <source>截取指针下的窗口（含边框）</source>
        <translation>擷取指標下的視窗（含邊框）</translation>
    </message>
    <message>
        <source>放到剪贴板上，由运行中的 Tessal 保持（没有运行时先启动它）</source>
        <translation>放到剪貼簿上，由執行中的 Tessal 保留（沒有執行時先啟動它）</translation>
    </message>
    <message>
        <source>在截取的位置贴图（由运行中的 Tessal）</source>
        <translation>在擷取的位置釘選到螢幕（由執行中的 Tessal）</translation>
    </message>
    <message>
        <source>在运行中的 Tessal 里打开标注窗口编辑截图</source>
        <translation>在執行中的 Tessal 裡開啟標註視窗編輯截圖</translation>
    </message>
    <message>
        <source>输出截取的矩形：--display N --region X,Y,W,H（用 -o - 时写在标准错误上）</source>
        <translation>輸出擷取的矩形：--display N --region X,Y,W,H（使用 -o - 時寫在標準錯誤上）</translation>
    </message>
    <message>
        <source>把指针画进截图</source>
        <translation>把指標畫進截圖</translation>
    </message>
    <message>
        <source>交互截图中第一次完成的选择（拖出、点选窗口，或移动、缩放给定的区域）如按回车一样复制</source>
        <translation>互動截圖中第一次完成的選取（拖曳、點選視窗，或移動、縮放指定的區域）如按 Return 一樣複製</translation>
    </message>
    <message>
        <source>列出每个显示器上可选的窗口及其编号</source>
        <translation>列出每個顯示器上可選的視窗及其編號</translation>
    </message>
    <message>
        <source>tessal: 桌面正在询问是否允许 Tessal 截图，请在它的对话框中选择“允许”。
</source>
        <translation>tessal: 桌面正在詢問是否允許 Tessal 截圖，請在它的對話框中選擇「允許」。
</translation>
    </message>
</context>
<context>
    <name>CopiedNote</name>
    <message>
        <source>已复制</source>
        <translation>已複製</translation>
    </message>
</context>
<context>
    <name>DefaultsStore</name>
    <message>
        <source>原设置文件已损坏且无法移到一旁，已原样保留</source>
        <translation>原設定檔已損毀且無法移到一旁，已原樣保留</translation>
    </message>
    <message>
        <source>写入失败</source>
        <translation>寫入失敗</translation>
    </message>
</context>
<context>
    <name>Editor</name>
    <message>
        <source>无法截图</source>
        <translation>無法截圖</translation>
    </message>
    <message>
        <source>另一个程序正占用键盘或鼠标，截图时将无法使用 Esc 和回车。请先关闭正在打开的菜单或拖动，再重新截图。</source>
        <translation>另一個程式正佔用鍵盤或滑鼠，截圖時將無法使用 Esc 和 Enter。請先關閉開啟中的選單或結束拖曳，再重新截圖。</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>知道了</translation>
    </message>
</context>
<context>
    <name>FakePlatform</name>
    <message>
        <source>无法读取窗口内容</source>
        <translation>無法讀取視窗內容</translation>
    </message>
</context>
<context>
    <name>FileErrors</name>
    <message>
        <source>文件夹不存在</source>
        <translation>資料夾不存在</translation>
    </message>
    <message>
        <source>路径中的“%1”不是文件夹</source>
        <translation>路徑中的「%1」不是資料夾</translation>
    </message>
    <message>
        <source>同名的文件夹已存在</source>
        <translation>已有同名的資料夾</translation>
    </message>
    <message>
        <source>磁盘是只读的</source>
        <translation>磁碟是唯讀的</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>磁碟空間不足</translation>
    </message>
    <message>
        <source>没有写入权限</source>
        <translation>沒有寫入權限</translation>
    </message>
    <message>
        <source>写入失败</source>
        <translation>寫入失敗</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>檔案不存在</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>這是一個資料夾</translation>
    </message>
    <message>
        <source>没有读取权限</source>
        <translation>沒有讀取權限</translation>
    </message>
</context>
<context>
    <name>HttpTransfer</name>
    <message>
        <source>连接超时。</source>
        <translation>連線逾時。</translation>
    </message>
    <message>
        <source>找不到更新服务器。</source>
        <translation>找不到更新伺服器。</translation>
    </message>
    <message>
        <source>无法连接更新服务器。</source>
        <translation>無法連線到更新伺服器。</translation>
    </message>
    <message>
        <source>无法与更新服务器建立安全连接。</source>
        <translation>無法與更新伺服器建立安全連線。</translation>
    </message>
    <message>
        <source>网络错误：%1</source>
        <translation>網路錯誤：%1</translation>
    </message>
    <message>
        <source>更新包无法写入磁盘：%1。</source>
        <translation>更新套件無法寫入磁碟：%1。</translation>
    </message>
</context>
<context>
    <name>KeyCodes</name>
    <message>
        <source>Super</source>
        <translation>Super</translation>
    </message>
</context>
<context>
    <name>KeySheet</name>
    <message>
        <source>按键说明</source>
        <translation>按鍵說明</translation>
    </message>
</context>
<context>
    <name>KeySheetModel</name>
    <message>
        <source>选择区域</source>
        <translation>選取範圍</translation>
    </message>
    <message>
        <source>拖动</source>
        <translation>拖曳</translation>
    </message>
    <message>
        <source>框选区域</source>
        <translation>框選範圍</translation>
    </message>
    <message>
        <source>单击</source>
        <translation>按一下</translation>
    </message>
    <message>
        <source>选取高亮的窗口或区域</source>
        <translation>選取醒目顯示的視窗或範圍</translation>
    </message>
    <message>
        <source>滚轮</source>
        <translation>滾輪</translation>
    </message>
    <message>
        <source>在窗口与其中的区域间切换</source>
        <translation>在視窗與其中的範圍間切換</translation>
    </message>
    <message>
        <source>空格</source>
        <translation>空白鍵</translation>
    </message>
    <message>
        <source>只选整个窗口</source>
        <translation>只選整個視窗</translation>
    </message>
    <message>
        <source>复制指针处的颜色</source>
        <translation>複製指標處的顏色</translation>
    </message>
    <message>
        <source>Esc / 右键</source>
        <translation>Esc / 按右鍵</translation>
    </message>
    <message>
        <source>退出截图</source>
        <translation>結束截圖</translation>
    </message>
    <message>
        <source>选定之后</source>
        <translation>選取之後</translation>
    </message>
    <message>
        <source>方向键</source>
        <translation>方向鍵</translation>
    </message>
    <message>
        <source>移动选区 1 像素，%1 10 像素</source>
        <translation>移動選取範圍 1 像素，%1 10 像素</translation>
    </message>
    <message>
        <source>按住空格</source>
        <translation>按住空白鍵</translation>
    </message>
    <message>
        <source>拖动选区</source>
        <translation>拖曳選取範圍</translation>
    </message>
    <message>
        <source>调整粗细或字号</source>
        <translation>調整粗細或字級</translation>
    </message>
    <message>
        <source>回车 / %1</source>
        <translation>Enter / %1</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>贴图</source>
        <translation>釘選到螢幕</translation>
    </message>
    <message>
        <source>识别并复制文字</source>
        <translation>辨識並複製文字</translation>
    </message>
    <message>
        <source>撤销 / 重做</source>
        <translation>復原 / 重做</translation>
    </message>
    <message>
        <source>删除所选标注</source>
        <translation>刪除所選標註</translation>
    </message>
    <message>
        <source>右键</source>
        <translation>按右鍵</translation>
    </message>
    <message>
        <source>重新选择</source>
        <translation>重新選取</translation>
    </message>
    <message>
        <source>工具</source>
        <translation>工具</translation>
    </message>
    <message>
        <source>显示或隐藏本说明</source>
        <translation>顯示或隱藏本說明</translation>
    </message>
</context>
<context>
    <name>LastRegion</name>
    <message>
        <source>这组显示器上还没有截过图：先截一次图（复制、保存或贴图），之后就能重复它的区域。</source>
        <translation>這組顯示器上還沒有截過圖：先截一次圖（複製、儲存或釘選到螢幕），之後就能重複它的範圍。</translation>
    </message>
    <message>
        <source>上次的区域已不在任何一个显示器之内（显示器的排列或分辨率变了）。请重新框选。</source>
        <translation>上次的範圍已不在任何一個顯示器之內（顯示器的排列或解析度變了）。請重新框選。</translation>
    </message>
    <message>
        <source>没有序号为 %1 的显示器（显示器共 %2 个）</source>
        <translation>沒有序號為 %1 的顯示器（顯示器共 %2 個）</translation>
    </message>
    <message>
        <source>这个区域不在显示器 %1 上</source>
        <translation>這個區域不在顯示器 %1 上</translation>
    </message>
</context>
<context>
    <name>LegacyApplicationNotice</name>
    <message>
        <source>建议移除旧版应用</source>
        <translation>建議移除舊版應用程式</translation>
    </message>
    <message>
        <source>检测到：%1。

请先退出旧版，再将旧应用移到回收站，之后只使用Tessal。只移除应用，不要清理其设置或应用支持文件；已有设置和截图历史会保留。</source>
        <translation>偵測到：%1。

請先結束舊版，再將舊應用程式移到垃圾桶，之後只使用 Tessal。只移除應用程式，不要清除其設定或應用程式支援檔案；已有的設定和截圖歷史紀錄會保留。</translation>
    </message>
    <message>
        <source>、</source>
        <translation>、</translation>
    </message>
    <message>
        <source>在文件管理器中查看</source>
        <translation>在檔案管理員中顯示</translation>
    </message>
    <message>
        <source>稍后处理</source>
        <translation>稍後處理</translation>
    </message>
</context>
<context>
    <name>LongCaptureControlWindow</name>
    <message>
        <source>Tessal · 长截图</source>
        <translation>Tessal · 長截圖</translation>
    </message>
    <message>
        <source>纵向</source>
        <translation>縱向</translation>
    </message>
    <message>
        <source>横向</source>
        <translation>橫向</translation>
    </message>
    <message>
        <source>长截图方向</source>
        <translation>長截圖方向</translation>
    </message>
    <message>
        <source>自动滚动</source>
        <translation>自動捲動</translation>
    </message>
    <message>
        <source>自动向下滚动；匹配异常或目标被遮挡时停止自动滚动</source>
        <translation>自動向下捲動；比對異常或目標被遮住時停止自動捲動</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>速度</translation>
    </message>
    <message>
        <source>慢速</source>
        <translation>慢速</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>正常</translation>
    </message>
    <message>
        <source>快速</source>
        <translation>快速</translation>
    </message>
    <message>
        <source>自动滚动速度</source>
        <translation>自動捲動速度</translation>
    </message>
    <message>
        <source>停止／开始 · 空格</source>
        <translation>停止／開始 · 空白鍵</translation>
    </message>
    <message>
        <source>裁剪两端</source>
        <translation>裁切兩端</translation>
    </message>
    <message>
        <source>回滚裁剪</source>
        <translation>回捲裁切</translation>
    </message>
    <message>
        <source>反向滚动会裁掉已拼接的末端；关闭后保留已有长图</source>
        <translation>反向捲動會裁掉已拼接的末端；關閉後保留已有的長圖</translation>
    </message>
    <message>
        <source>编辑长图</source>
        <translation>編輯長圖</translation>
    </message>
    <message>
        <source>贴图</source>
        <translation>釘選到螢幕</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>关闭 · Esc</source>
        <translation>關閉 · Esc</translation>
    </message>
    <message>
        <source>复制 · Enter</source>
        <translation>複製 · Enter</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>停止</translation>
    </message>
</context>
<context>
    <name>LongCaptureFeedback</name>
    <message>
        <source>已拼接。继续滚动，或直接复制、保存。</source>
        <translation>已拼接。繼續捲動，或直接複製、儲存。</translation>
    </message>
    <message>
        <source>已按回滚位置裁剪，可继续滚动。</source>
        <translation>已依回捲位置裁切，可繼續捲動。</translation>
    </message>
    <message>
        <source>已回到匹配位置，可继续滚动。</source>
        <translation>已回到相符的位置，可繼續捲動。</translation>
    </message>
    <message>
        <source>画面未变化；若已到底，可直接复制或保存。</source>
        <translation>畫面未變化；若已到底，可直接複製或儲存。</translation>
    </message>
    <message>
        <source>尚未匹配，已有内容已保留。请沿刚才滚动的反方向稍作回滚；预览红框表示匹配中断。</source>
        <translation>尚未比對成功，已有內容已保留。請沿剛才捲動的反方向稍微回捲；預覽紅框表示比對中斷。</translation>
    </message>
    <message>
        <source>已达到长度上限，已有内容保留，可复制或保存。</source>
        <translation>已達長度上限，已有內容保留，可複製或儲存。</translation>
    </message>
</context>
<context>
    <name>LongCaptureMoveButton</name>
    <message>
        <source>拖动选区 · 采集中沿截图方向延伸</source>
        <translation>拖曳選取範圍 · 擷取中沿截圖方向延伸</translation>
    </message>
</context>
<context>
    <name>LongCapturePreview</name>
    <message>
        <source>Tessal · 长截图预览</source>
        <translation>Tessal · 長截圖預覽</translation>
    </message>
</context>
<context>
    <name>LongCaptureRegionView</name>
    <message>
        <source>Tessal · 长截图选区</source>
        <translation>Tessal · 長截圖選取範圍</translation>
    </message>
</context>
<context>
    <name>LongCaptureTrimDialog</name>
    <message>
        <source>裁剪长图</source>
        <translation>裁切長圖</translation>
    </message>
    <message>
        <source>拖动蓝线，或输入顶部、底部要去掉的像素。</source>
        <translation>拖曳藍線，或輸入頂端、底端要去掉的像素。</translation>
    </message>
    <message>
        <source>拖动蓝线，或输入左端、右端要去掉的像素。</source>
        <translation>拖曳藍線，或輸入左端、右端要去掉的像素。</translation>
    </message>
    <message>
        <source>顶部</source>
        <translation>頂端</translation>
    </message>
    <message>
        <source>左端</source>
        <translation>左端</translation>
    </message>
    <message>
        <source>底部</source>
        <translation>底端</translation>
    </message>
    <message>
        <source>右端</source>
        <translation>右端</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>套用</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>恢复完整长图</source>
        <translation>還原完整長圖</translation>
    </message>
</context>
<context>
    <name>LongFrameStream</name>
    <message>
        <source>无法转换滚动区域的视频帧，请重新选择区域。</source>
        <translation>無法轉換捲動範圍的影格，請重新選取範圍。</translation>
    </message>
</context>
<context>
    <name>LongScreenshot</name>
    <message>
        <source>滚动原窗口，或点“自动滚动”。空格停止，Enter 复制，Esc 关闭。</source>
        <translation>捲動原視窗，或點選「自動捲動」。空白鍵停止，Enter 複製，Esc 關閉。</translation>
    </message>
    <message>
        <source>已停止，点开始继续，或直接复制、保存。</source>
        <translation>已停止，點選開始繼續，或直接複製、儲存。</translation>
    </message>
    <message>
        <source>显示器已断开，请重新选择区域。</source>
        <translation>顯示器已中斷連線，請重新選取範圍。</translation>
    </message>
    <message>
        <source>请在一个窗口内部框选可滚动内容。 </source>
        <translation>請在一個視窗內框選可捲動的內容。 </translation>
    </message>
    <message>
        <source>目标窗口尚未准备好，请取消后重新选择。 </source>
        <translation>目標視窗尚未準備好，請取消後重新選取。 </translation>
    </message>
    <message>
        <source>目标窗口已移动、缩放或关闭。</source>
        <translation>目標視窗已移動、縮放或關閉。</translation>
    </message>
    <message>
        <source>正在连接滚动窗口…</source>
        <translation>正在連接捲動視窗…</translation>
    </message>
    <message>
        <source>准备截取</source>
        <translation>準備擷取</translation>
    </message>
    <message>
        <source>滚动过快，部分中间帧未能保留。若未接上，请稍向回滚动。</source>
        <translation>捲動過快，部分中間影格未能保留。若未接上，請稍微往回捲動。</translation>
    </message>
    <message>
        <source> 已有内容保留，可复制、保存或编辑。</source>
        <translation> 已有內容保留，可複製、儲存或編輯。</translation>
    </message>
    <message>
        <source>已停止，已有内容保留。点开始继续，或复制、保存、编辑。</source>
        <translation>已停止，已有內容保留。點選開始繼續，或複製、儲存、編輯。</translation>
    </message>
    <message>
        <source>继续滚动原窗口，或开启自动滚动。</source>
        <translation>繼續捲動原視窗，或開啟自動捲動。</translation>
    </message>
    <message>
        <source>自动滚动</source>
        <translation>自動捲動</translation>
    </message>
    <message>
        <source>自动滚动需要辅助功能授权；仍可在原窗口手动滚动。</source>
        <translation>自動捲動需要輔助使用授權；仍可在原視窗手動捲動。</translation>
    </message>
    <message>
        <source>已切换手动滚动。</source>
        <translation>已切換為手動捲動。</translation>
    </message>
    <message>
        <source>停止自动</source>
        <translation>停止自動</translation>
    </message>
    <message>
        <source>自动向上滚动中；空格停止，Enter 复制。</source>
        <translation>自動向上捲動中；空白鍵停止，Enter 複製。</translation>
    </message>
    <message>
        <source>自动向下滚动中；空格停止，Enter 复制。</source>
        <translation>自動向下捲動中；空白鍵停止，Enter 複製。</translation>
    </message>
    <message>
        <source>自动向左滚动中；空格停止，Enter 复制。</source>
        <translation>自動向左捲動中；空白鍵停止，Enter 複製。</translation>
    </message>
    <message>
        <source>自动向右滚动中；空格停止，Enter 复制。</source>
        <translation>自動向右捲動中；空白鍵停止，Enter 複製。</translation>
    </message>
    <message>
        <source>等待开始</source>
        <translation>等待開始</translation>
    </message>
    <message>
        <source>方向已切换，点开始截取。</source>
        <translation>方向已切換，點選開始擷取。</translation>
    </message>
    <message>
        <source>选区已调整，点开始重新截取。</source>
        <translation>選取範圍已調整，點選開始重新擷取。</translation>
    </message>
    <message>
        <source>正在沿截图方向延伸，已有内容保留。</source>
        <translation>正在沿截圖方向延伸，已有內容保留。</translation>
    </message>
    <message>
        <source>正在生成图片，完成后再关闭。</source>
        <translation>正在產生圖片，完成後再關閉。</translation>
    </message>
</context>
<context>
    <name>LongScreenshotExport</name>
    <message>
        <source>还没有可导出的画面，请稍候。</source>
        <translation>還沒有可匯出的畫面，請稍候。</translation>
    </message>
    <message>
        <source>正在准备画面，请稍候。</source>
        <translation>正在準備畫面，請稍候。</translation>
    </message>
    <message>
        <source>无法创建贴图，已有内容保留。</source>
        <translation>無法建立釘選圖片，已有內容保留。</translation>
    </message>
    <message>
        <source>内存不足，无法生成图片。</source>
        <translation>記憶體不足，無法產生圖片。</translation>
    </message>
    <message>
        <source>保存失败：%1</source>
        <translation>儲存失敗：%1</translation>
    </message>
    <message>
        <source>裁剪值无效，已保留原图。</source>
        <translation>裁切值無效，已保留原圖。</translation>
    </message>
</context>
<context>
    <name>LongScreenshotResult</name>
    <message>
        <source>是否保存对截图所做的标注？</source>
        <translation>是否儲存對截圖所做的標註？</translation>
    </message>
    <message>
        <source>如果不保存，新添加的标注将会丢失。</source>
        <translation>如果不儲存，新加入的標註將會遺失。</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>继续编辑</source>
        <translation>繼續編輯</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>不儲存</translation>
    </message>
</context>
<context>
    <name>MutterScreenCast</name>
    <message>
        <source>GNOME 没有开始屏幕共享：%1</source>
        <translation>GNOME 沒有開始螢幕分享：%1</translation>
    </message>
    <message>
        <source>画面流没有在 %1 秒内就绪</source>
        <translation>畫面串流沒有在 %1 秒內就緒</translation>
    </message>
</context>
<context>
    <name>OcrWorker</name>
    <message>
        <source>请求无效</source>
        <translation>要求無效</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>記憶體不足</translation>
    </message>
    <message>
        <source>缺少识别字典</source>
        <translation>缺少辨識字典</translation>
    </message>
    <message>
        <source>无法载入识别模型：%1</source>
        <translation>無法載入辨識模型：%1</translation>
    </message>
</context>
<context>
    <name>OverlayWindow</name>
    <message>
        <source>Tessal · 截图</source>
        <translation>Tessal · 截圖</translation>
    </message>
</context>
<context>
    <name>PinnedImage</name>
    <message>
        <source>Tessal · 贴图</source>
        <translation>Tessal · 釘選圖片</translation>
    </message>
    <message>
        <source>滚轮缩放 · 右键调透明度 · %1+滚轮调透明度 · 双击恢复大小 · Esc 关闭</source>
        <translation>滾輪縮放 · 按右鍵調整透明度 · %1+滾輪調整透明度 · 按兩下還原大小 · Esc 關閉</translation>
    </message>
    <message>
        <source>滚轮缩放 · 双击恢复大小 · Esc 关闭</source>
        <translation>滾輪縮放 · 按兩下還原大小 · Esc 關閉</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>关闭贴图</source>
        <translation>關閉釘選圖片</translation>
    </message>
    <message>
        <source>恢复原始大小</source>
        <translation>還原原始大小</translation>
    </message>
    <message>
        <source>透明度</source>
        <translation>透明度</translation>
    </message>
    <message>
        <source>透明度 · 需要窗口合成器</source>
        <translation>透明度 · 需要視窗合成器</translation>
    </message>
    <message>
        <source>恢复不透明</source>
        <translation>還原不透明</translation>
    </message>
    <message>
        <source>桌面没有运行窗口合成器，窗口无法半透明显示</source>
        <translation>桌面沒有執行視窗合成器，視窗無法半透明顯示</translation>
    </message>
</context>
<context>
    <name>PipeWireStream</name>
    <message>
        <source>屏幕共享的画面格式无法读取。</source>
        <translation>螢幕分享的畫面格式無法讀取。</translation>
    </message>
    <message>
        <source>屏幕共享出错：%1</source>
        <translation>螢幕分享出錯：%1</translation>
    </message>
    <message>
        <source>桌面结束了屏幕共享。</source>
        <translation>桌面結束了螢幕分享。</translation>
    </message>
    <message>
        <source>屏幕共享的 PipeWire 连接断开：%1</source>
        <translation>螢幕分享的 PipeWire 連線中斷：%1</translation>
    </message>
    <message>
        <source>无法启动 PipeWire。</source>
        <translation>無法啟動 PipeWire。</translation>
    </message>
    <message>
        <source>无法连接屏幕共享的 PipeWire 服务。</source>
        <translation>無法連線螢幕分享的 PipeWire 服務。</translation>
    </message>
    <message>
        <source>无法连接屏幕共享的画面流。</source>
        <translation>無法連線螢幕分享的畫面串流。</translation>
    </message>
</context>
<context>
    <name>PortalRequest</name>
    <message>
        <source>wlroots 桌面（sway、Hyprland 等）需要 xdg-desktop-portal-wlr，另加 xdg-desktop-portal-gtk（截图接口要靠它的授权后端）；GNOME 需要 xdg-desktop-portal-gnome；KDE 需要 xdg-desktop-portal-kde。</source>
        <translation>wlroots 桌面（sway、Hyprland 等）需要 xdg-desktop-portal-wlr，另加 xdg-desktop-portal-gtk（截圖介面要靠它的授權後端）；GNOME 需要 xdg-desktop-portal-gnome；KDE 需要 xdg-desktop-portal-kde。</translation>
    </message>
    <message>
        <source>桌面没有提供截图门户（xdg-desktop-portal 的 Screenshot 接口）。</source>
        <translation>桌面沒有提供截圖入口（xdg-desktop-portal 的 Screenshot 介面）。</translation>
    </message>
    <message>
        <source>桌面门户没有提供 %1 接口。</source>
        <translation>桌面入口沒有提供 %1 介面。</translation>
    </message>
    <message>
        <source>无法连接会话总线，找不到桌面门户服务。</source>
        <translation>無法連線到工作階段匯流排，找不到桌面入口服務。</translation>
    </message>
    <message>
        <source>找不到桌面门户服务（xdg-desktop-portal）。请安装它，以及与桌面相配的后端：</source>
        <translation>找不到桌面入口服務（xdg-desktop-portal）。請安裝它，以及與桌面相配的後端：</translation>
    </message>
    <message>
        <source>桌面门户拒绝了请求：%1</source>
        <translation>桌面入口拒絕了要求：%1</translation>
    </message>
    <message>
        <source>桌面门户没有在 %1 秒内回应。</source>
        <translation>桌面入口沒有在 %1 秒內回應。</translation>
    </message>
    <message>
        <source>桌面门户在回应之前退出了。</source>
        <translation>桌面入口在回應之前結束了。</translation>
    </message>
    <message>
        <source>请求已取消。</source>
        <translation>要求已取消。</translation>
    </message>
</context>
<context>
    <name>SaveDestination</name>
    <message>
        <source>截图-%1.png</source>
        <translation>截圖-%1.png</translation>
    </message>
    <message>
        <source>未设置图片文件夹</source>
        <translation>未設定圖片資料夾</translation>
    </message>
    <message>
        <source>图片文件夹“%1”不存在</source>
        <translation>圖片資料夾「%1」不存在</translation>
    </message>
    <message>
        <source>图片文件夹“%1”不是文件夹</source>
        <translation>圖片資料夾「%1」不是資料夾</translation>
    </message>
    <message>
        <source>图片文件夹“%1”不可写入</source>
        <translation>圖片資料夾「%1」無法寫入</translation>
    </message>
    <message>
        <source>%1，已改为主文件夹。</source>
        <translation>%1，已改用個人資料夾。</translation>
    </message>
</context>
<context>
    <name>SavePanel</name>
    <message>
        <source>保存截图</source>
        <translation>儲存截圖</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>文件名：</source>
        <translation>檔案名稱：</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>ScreenAccessNote</name>
    <message>
        <source>Tessal · 等待截图授权</source>
        <translation>Tessal · 等待截圖授權</translation>
    </message>
    <message>
        <source>桌面正在询问是否允许 Tessal 截图，请在它的对话框中选择“允许”。按 Esc 取消截图。</source>
        <translation>桌面正在詢問是否允許 Tessal 截圖，請在它的對話框中選擇「允許」。按 Esc 取消截圖。</translation>
    </message>
    <message>
        <source>取消截图</source>
        <translation>取消截圖</translation>
    </message>
</context>
<context>
    <name>ScreenCapture</name>
    <message>
        <source>没有可截取的显示器</source>
        <translation>沒有可擷取的顯示器</translation>
    </message>
</context>
<context>
    <name>ScreenCaptureFailure</name>
    <message>
        <source>无法截取屏幕</source>
        <translation>無法擷取螢幕</translation>
    </message>
    <message>
        <source>请在桌面的系统设置中允许Tessal截取屏幕。授权后如果仍无法截图，再退出并重新打开Tessal。</source>
        <translation>請在桌面的系統設定中允許 Tessal 擷取螢幕。授權後如果仍無法截圖，再結束並重新開啟 Tessal。</translation>
    </message>
    <message>
        <source>打开系统设置</source>
        <translation>開啟系統設定</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>
请重新截图；若刚连接或断开显示器，请等待屏幕布局稳定。</source>
        <translation>
請重新截圖；若剛連接或中斷顯示器，請等待螢幕配置穩定。</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>知道了</translation>
    </message>
</context>
<context>
    <name>ScreenCastPortal</name>
    <message>
        <source>请求已取消。</source>
        <translation>請求已取消。</translation>
    </message>
    <message>
        <source>桌面拒绝了屏幕共享会话。</source>
        <translation>桌面拒絕了螢幕分享工作階段。</translation>
    </message>
    <message>
        <source>桌面拒绝了所选的屏幕共享来源。</source>
        <translation>桌面拒絕了所選的螢幕分享來源。</translation>
    </message>
    <message>
        <source>屏幕共享被拒绝：长截图需要读取显示器的画面。</source>
        <translation>螢幕分享被拒絕：長截圖需要讀取顯示器的畫面。</translation>
    </message>
    <message>
        <source>桌面没有开始屏幕共享。</source>
        <translation>桌面沒有開始螢幕分享。</translation>
    </message>
    <message>
        <source>桌面没有给出屏幕共享的画面流。</source>
        <translation>桌面沒有給出螢幕分享的畫面串流。</translation>
    </message>
    <message>
        <source>无法连接屏幕共享的 PipeWire 服务：%1</source>
        <translation>無法連線螢幕分享的 PipeWire 服務：%1</translation>
    </message>
    <message>
        <source>没有回应</source>
        <translation>沒有回應</translation>
    </message>
    <message>
        <source>桌面拒绝了远程控制指针的请求。</source>
        <translation>桌面拒絕了遠端控制指標的請求。</translation>
    </message>
</context>
<context>
    <name>Screencopy</name>
    <message>
        <source>与合成器的连接已断开。</source>
        <translation>與合成器的連線已中斷。</translation>
    </message>
    <message>
        <source>合成器没有交出屏幕画面。</source>
        <translation>合成器沒有交出螢幕畫面。</translation>
    </message>
    <message>
        <source>合成器没有在 %1 秒内交出屏幕画面。</source>
        <translation>合成器沒有在 %1 秒內交出螢幕畫面。</translation>
    </message>
    <message>
        <source>显示器已断开。</source>
        <translation>顯示器已中斷連線。</translation>
    </message>
</context>
<context>
    <name>ScreenshotExport</name>
    <message>
        <source>无法保存截图</source>
        <translation>無法儲存截圖</translation>
    </message>
    <message>
        <source>无法保存“%1”：%2</source>
        <translation>無法儲存「%1」：%2</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>无法复制截图</source>
        <translation>無法複製截圖</translation>
    </message>
    <message>
        <source>内存不足，无法生成 PNG 图片，剪贴板中没有放入内容。</source>
        <translation>記憶體不足，無法產生 PNG 圖片，剪貼簿中沒有放入內容。</translation>
    </message>
</context>
<context>
    <name>ScreenshotHistory</name>
    <message>
        <source>无法删除“%1”：%2</source>
        <translation>無法刪除「%1」：%2</translation>
    </message>
    <message>
        <source>无法创建历史文件夹“%1”：%2</source>
        <translation>無法建立歷史紀錄資料夾「%1」：%2</translation>
    </message>
    <message>
        <source>无法写入“%1”：%2</source>
        <translation>無法寫入「%1」：%2</translation>
    </message>
    <message>
        <source>无法设置“%1”的权限</source>
        <translation>無法設定「%1」的權限</translation>
    </message>
</context>
<context>
    <name>ScreenshotHistoryWindow</name>
    <message>
        <source>Tessal · 截图历史</source>
        <translation>Tessal · 截圖歷史紀錄</translation>
    </message>
    <message>
        <source>截图时间</source>
        <translation>截圖時間</translation>
    </message>
    <message>
        <source>截图预览</source>
        <translation>截圖預覽</translation>
    </message>
    <message>
        <source>开启记录</source>
        <translation>開啟記錄</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>保存…</source>
        <translation>儲存…</translation>
    </message>
    <message>
        <source>继续标注</source>
        <translation>繼續標註</translation>
    </message>
    <message>
        <source>贴图</source>
        <translation>釘選到螢幕</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>刪除</translation>
    </message>
    <message>
        <source>清空历史</source>
        <translation>清除歷史紀錄</translation>
    </message>
    <message>
        <source>历史记录失败：%1</source>
        <translation>歷史紀錄失敗：%1</translation>
    </message>
    <message numerus="yes">
        <source>%n 张 · 正在记录</source>
        <translation>
            <numerusform>%n 張 · 正在記錄</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 张 · 未开启记录，可在截图偏好中开启</source>
        <translation>
            <numerusform>%n 張 · 未開啟記錄，可在截圖偏好設定中開啟</numerusform>
        </translation>
    </message>
    <message>
        <source>图片无法预览</source>
        <translation>圖片無法預覽</translation>
    </message>
    <message>
        <source>无法保存截图</source>
        <translation>無法儲存截圖</translation>
    </message>
    <message>
        <source>无法保存“%1”：%2</source>
        <translation>無法儲存「%1」：%2</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>无法删除截图</source>
        <translation>無法刪除截圖</translation>
    </message>
    <message>
        <source>清空截图历史？</source>
        <translation>清除截圖歷史紀錄？</translation>
    </message>
    <message>
        <source>删除本机保存的历史记录，已另存的截图不受影响。</source>
        <translation>刪除本機儲存的歷史紀錄，已另存的截圖不受影響。</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>无法清空截图历史</source>
        <translation>無法清除截圖歷史紀錄</translation>
    </message>
</context>
<context>
    <name>SelectionSizeEditor</name>
    <message>
        <source>设置截图尺寸</source>
        <translation>設定截圖尺寸</translation>
    </message>
    <message>
        <source>设置截图尺寸 · 回车确定 · Esc 取消</source>
        <translation>設定截圖尺寸 · Enter 確定 · Esc 取消</translation>
    </message>
    <message>
        <source>宽</source>
        <translation>寬</translation>
    </message>
    <message>
        <source>宽度像素</source>
        <translation>寬度像素</translation>
    </message>
    <message>
        <source>高</source>
        <translation>高</translation>
    </message>
    <message>
        <source>高度像素</source>
        <translation>高度像素</translation>
    </message>
</context>
<context>
    <name>SessionBusRequests</name>
    <message>
        <source>路径必须是绝对路径：“%1”</source>
        <translation>路徑必須是絕對路徑：「%1」</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>無法寫入 %1：%2</translation>
    </message>
    <message>
        <source>正在截图：请先完成或取消当前的截图</source>
        <translation>正在截圖：請先完成或取消目前的截圖</translation>
    </message>
    <message>
        <source>延时须在 0 到 %1 秒之间</source>
        <translation>延遲須在 0 到 %1 秒之間</translation>
    </message>
    <message>
        <source>区域的宽和高须为正数</source>
        <translation>區域的寬與高須為正數</translation>
    </message>
    <message>
        <source>这个区域不在任何显示器上</source>
        <translation>這個區域不在任何顯示器上</translation>
    </message>
</context>
<context>
    <name>ShortcutDialog</name>
    <message>
        <source>设置截图快捷键</source>
        <translation>設定截圖快速鍵</translation>
    </message>
    <message>
        <source>请按下组合键，需包含 %1、%2 或 %3。</source>
        <translation>請按下組合鍵，需包含 %1、%2 或 %3。</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>恢复默认 %1</source>
        <translation>還原預設 %1</translation>
    </message>
</context>
<context>
    <name>StillDelivery</name>
    <message>
        <source>收到的截图无法读取</source>
        <translation>收到的截圖無法讀取</translation>
    </message>
    <message>
        <source>无法把截图放到剪贴板上</source>
        <translation>無法把截圖放到剪貼簿上</translation>
    </message>
    <message>
        <source>无法贴图</source>
        <translation>無法釘選到螢幕</translation>
    </message>
    <message>
        <source>没有运行中的 Tessal 接收截图，也无法启动它</source>
        <translation>沒有執行中的 Tessal 接收截圖，也無法啟動它</translation>
    </message>
    <message>
        <source>无法写入临时文件：%1</source>
        <translation>無法寫入暫存檔：%1</translation>
    </message>
    <message>
        <source>截图</source>
        <translation>截圖</translation>
    </message>
</context>
<context>
    <name>TextRecognition</name>
    <message>
        <source>二维码</source>
        <translation>QR 碼</translation>
    </message>
    <message>
        <source>%1 码</source>
        <translation>%1 碼</translation>
    </message>
    <message>
        <source>条形码（%1）</source>
        <translation>條碼（%1）</translation>
    </message>
    <message numerus="yes">
        <source>%1：二进制数据（%n 字节）</source>
        <translation>
            <numerusform>%1：二進位資料（%n 位元組）</numerusform>
        </translation>
    </message>
    <message>
        <source>%1：%2</source>
        <comment>a code&apos;s kind, what it says</comment>
        <translation>%1：%2</translation>
    </message>
</context>
<context>
    <name>TextRecognitionWindow</name>
    <message>
        <source>Tessal · 识别文字</source>
        <translation>Tessal · 辨識文字</translation>
    </message>
    <message>
        <source>正在识别…</source>
        <translation>正在辨識…</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>复制文字</source>
        <translation>複製文字</translation>
    </message>
    <message>
        <source>识别失败：未安装文字识别组件</source>
        <translation>辨識失敗：未安裝文字辨識元件</translation>
    </message>
    <message>
        <source>识别失败：%1</source>
        <translation>辨識失敗：%1</translation>
    </message>
    <message>
        <source>识别完成，可编辑后复制</source>
        <translation>辨識完成，可編輯後複製</translation>
    </message>
    <message>
        <source>未识别到文字</source>
        <translation>未辨識到文字</translation>
    </message>
</context>
<context>
    <name>TextRecognizer</name>
    <message>
        <source>已取消</source>
        <translation>已取消</translation>
    </message>
</context>
<context>
    <name>ToolbarModel</name>
    <message>
        <source>移动选区</source>
        <translation>移動選取範圍</translation>
    </message>
    <message>
        <source>选择标注</source>
        <translation>選取標註</translation>
    </message>
    <message>
        <source>矩形</source>
        <translation>矩形</translation>
    </message>
    <message>
        <source>箭头</source>
        <translation>箭頭</translation>
    </message>
    <message>
        <source>手绘</source>
        <translation>手繪</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>文字</translation>
    </message>
    <message>
        <source>圆形</source>
        <translation>橢圓</translation>
    </message>
    <message>
        <source>马赛克</source>
        <translation>馬賽克</translation>
    </message>
    <message>
        <source>模糊</source>
        <translation>模糊</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>編號</translation>
    </message>
    <message>
        <source>高亮</source>
        <translation>螢光筆</translation>
    </message>
    <message>
        <source>识别文字</source>
        <translation>辨識文字</translation>
    </message>
    <message>
        <source>识别文字 · %1 快速复制文字</source>
        <translation>辨識文字 · %1 快速複製文字</translation>
    </message>
    <message>
        <source>长截图</source>
        <translation>長截圖</translation>
    </message>
    <message>
        <source>长截图 · 选择滚动内容区域后缓慢向下滚动</source>
        <translation>長截圖 · 選取捲動內容範圍後緩慢向下捲動</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>復原</translation>
    </message>
    <message>
        <source>撤销 · %1</source>
        <translation>復原 · %1</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>贴图</source>
        <translation>釘選到螢幕</translation>
    </message>
    <message>
        <source>贴图 · %1</source>
        <translation>釘選到螢幕 · %1</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>保存 · %1</source>
        <translation>儲存 · %1</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>关闭 · Esc</source>
        <translation>關閉 · Esc</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>复制 · %1</source>
        <translation>複製 · %1</translation>
    </message>
    <message>
        <source>红色</source>
        <translation>紅色</translation>
    </message>
    <message>
        <source>黄色</source>
        <translation>黃色</translation>
    </message>
    <message>
        <source>绿色</source>
        <translation>綠色</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>藍色</translation>
    </message>
    <message>
        <source>白色</source>
        <translation>白色</translation>
    </message>
    <message>
        <source>黑色</source>
        <translation>黑色</translation>
    </message>
    <message>
        <source>细线</source>
        <translation>細線</translation>
    </message>
    <message>
        <source>中线</source>
        <translation>中線</translation>
    </message>
    <message>
        <source>粗线</source>
        <translation>粗線</translation>
    </message>
    <message>
        <source>模糊强度</source>
        <translation>模糊強度</translation>
    </message>
    <message>
        <source>低强度</source>
        <translation>低強度</translation>
    </message>
    <message>
        <source>中强度</source>
        <translation>中強度</translation>
    </message>
    <message>
        <source>高强度</source>
        <translation>高強度</translation>
    </message>
    <message>
        <source>颗粒大小</source>
        <translation>顆粒大小</translation>
    </message>
    <message>
        <source>小颗粒</source>
        <translation>小顆粒</translation>
    </message>
    <message>
        <source>中颗粒</source>
        <translation>中顆粒</translation>
    </message>
    <message>
        <source>大颗粒</source>
        <translation>大顆粒</translation>
    </message>
    <message>
        <source>笔刷大小</source>
        <translation>筆刷大小</translation>
    </message>
    <message>
        <source>小号笔刷</source>
        <translation>小號筆刷</translation>
    </message>
    <message>
        <source>中号笔刷</source>
        <translation>中號筆刷</translation>
    </message>
    <message>
        <source>大号笔刷</source>
        <translation>大號筆刷</translation>
    </message>
</context>
<context>
    <name>UpdateConfiguration</name>
    <message>
        <source>Tessal截图</source>
        <translation>Tessal 截圖</translation>
    </message>
</context>
<context>
    <name>UpdateInstaller</name>
    <message>
        <source>准备好的更新已不存在，请重新检查更新。</source>
        <translation>準備好的更新已不存在，請重新檢查更新。</translation>
    </message>
    <message>
        <source>当前构建缺少更新安装程序。</source>
        <translation>目前組建缺少更新安裝程式。</translation>
    </message>
    <message>
        <source>更新文件处理失败（cp）。原应用未被替换。</source>
        <translation>更新檔案處理失敗（cp）。原應用程式未被取代。</translation>
    </message>
    <message>
        <source>无法启动更新安装程序：%1。</source>
        <translation>無法啟動更新安裝程式：%1。</translation>
    </message>
    <message>
        <source>更新文件处理失败（tessal-update-helper）。原应用未被替换。</source>
        <translation>更新檔案處理失敗（tessal-update-helper）。原應用程式未被取代。</translation>
    </message>
</context>
<context>
    <name>UpdateMenuItems</name>
    <message>
        <source>自动下载更新</source>
        <translation>自動下載更新</translation>
    </message>
    <message>
        <source>检查更新…</source>
        <translation>檢查更新…</translation>
    </message>
    <message>
        <source>更新日志</source>
        <translation>更新日誌</translation>
    </message>
</context>
<context>
    <name>UpdateSource</name>
    <message>
        <source>更新组件缺失（tessal-update-helper），请重新安装Tessal。</source>
        <translation>更新元件遺失（tessal-update-helper），請重新安裝 Tessal。</translation>
    </message>
    <message>
        <source>更新文件处理失败（tessal-update-helper）。原应用未被替换。</source>
        <translation>更新檔案處理失敗（tessal-update-helper）。原應用程式未被取代。</translation>
    </message>
</context>
<context>
    <name>UpdateStatusPanel</name>
    <message>
        <source>正在下载%1 %2</source>
        <translation>正在下載 %1 %2</translation>
    </message>
    <message>
        <source>下载并校验完成后，可重启安装。</source>
        <translation>下載並驗證完成後，可重新啟動安裝。</translation>
    </message>
</context>
<context>
    <name>WaylandHotKeys</name>
    <message>
        <source>此桌面不提供全局快捷键：请在桌面的键盘设置中为命令 tessal capture 绑定快捷键</source>
        <translation>此桌面不提供全域快速鍵：請在桌面的鍵盤設定中為指令 tessal capture 指定快速鍵</translation>
    </message>
    <message>
        <source>截图</source>
        <translation>截圖</translation>
    </message>
</context>
<context>
    <name>WaylandScreenCapture</name>
    <message>
        <source>合成器交出的画面与显示器不符。</source>
        <translation>合成器交出的畫面與顯示器不符。</translation>
    </message>
    <message>
        <source>合成器不提供 wlr-screencopy，无法直接截取屏幕。</source>
        <translation>合成器不提供 wlr-screencopy，無法直接擷取螢幕。</translation>
    </message>
    <message>
        <source>截图请求被取消。</source>
        <translation>截圖要求已取消。</translation>
    </message>
    <message>
        <source>桌面门户拒绝了截图请求。</source>
        <translation>桌面入口拒絕了截圖要求。</translation>
    </message>
    <message>
        <source>无法读取桌面门户返回的截图。</source>
        <translation>無法讀取桌面入口傳回的截圖。</translation>
    </message>
    <message>
        <source>截图中没有这个显示器（显示器可能刚刚变化）。</source>
        <translation>截圖中沒有這個顯示器（顯示器可能剛剛變化）。</translation>
    </message>
    <message>
        <source>KWin 没有交出屏幕画面：%1</source>
        <translation>KWin 沒有交出螢幕畫面：%1</translation>
    </message>
    <message>
        <source>截图已取消。</source>
        <translation>截圖已取消。</translation>
    </message>
    <message>
        <source>桌面仍在等待对上一次截图请求的回答。</source>
        <translation>桌面仍在等待對上一次截圖要求的回答。</translation>
    </message>
</context>
<context>
    <name>WaylandWindowStream</name>
    <message>
        <source>无法读取窗口内容：%1</source>
        <translation>無法讀取視窗內容：%1</translation>
    </message>
    <message>
        <source>窗口已关闭</source>
        <translation>視窗已關閉</translation>
    </message>
    <message>
        <source>显示器已断开</source>
        <translation>顯示器已中斷連線</translation>
    </message>
    <message>
        <source>窗口不在任何显示器上</source>
        <translation>視窗不在任何顯示器上</translation>
    </message>
    <message>
        <source>合成器不提供 wlr-screencopy</source>
        <translation>合成器不提供 wlr-screencopy</translation>
    </message>
    <message>
        <source>共享的显示器上没有要截取的区域，请选择它所在的显示器</source>
        <translation>分享的顯示器上沒有要擷取的區域，請選擇它所在的顯示器</translation>
    </message>
</context>
<context>
    <name>WindowSource</name>
    <message>
        <source>没有编号为 %1 的窗口（tessal capture --list-windows 列出窗口）</source>
        <translation>沒有編號為 %1 的視窗（tessal capture --list-windows 列出視窗）</translation>
    </message>
    <message>
        <source>没有可截取的活动窗口</source>
        <translation>沒有可擷取的作用中視窗</translation>
    </message>
    <message>
        <source>这个桌面不告知指针的位置</source>
        <translation>這個桌面不告知指標的位置</translation>
    </message>
    <message>
        <source>指针下没有可截取的窗口</source>
        <translation>指標下沒有可擷取的視窗</translation>
    </message>
    <message>
        <source>这个窗口不在任何显示器上</source>
        <translation>這個視窗不在任何顯示器上</translation>
    </message>
</context>
<context>
    <name>WorkerTextRecognizer</name>
    <message>
        <source>未安装文字识别组件</source>
        <translation>未安裝文字辨識元件</translation>
    </message>
    <message>
        <source>无法启动识别进程：%1</source>
        <translation>無法啟動辨識程序：%1</translation>
    </message>
    <message>
        <source>识别进程没有回应</source>
        <translation>辨識程序沒有回應</translation>
    </message>
    <message>
        <source>识别进程的回答无法读取</source>
        <translation>辨識程序的回答無法讀取</translation>
    </message>
    <message>
        <source>识别进程意外退出</source>
        <translation>辨識程序意外結束</translation>
    </message>
</context>
<context>
    <name>X11ScreenCapture</name>
    <message>
        <source>无法读取屏幕内容</source>
        <translation>無法讀取螢幕內容</translation>
    </message>
</context>
<context>
    <name>X11WindowStream</name>
    <message>
        <source>无法读取窗口内容：%1</source>
        <translation>無法讀取視窗內容：%1</translation>
    </message>
    <message>
        <source>窗口已关闭</source>
        <translation>視窗已關閉</translation>
    </message>
    <message>
        <source>与显示服务器的连接已断开</source>
        <translation>與顯示伺服器的連線已中斷</translation>
    </message>
    <message>
        <source>无法连接显示服务器</source>
        <translation>無法連線到顯示伺服器</translation>
    </message>
    <message>
        <source>显示服务器缺少 Composite 或 Damage 扩展</source>
        <translation>顯示伺服器缺少 Composite 或 Damage 擴充功能</translation>
    </message>
    <message>
        <source>无法重定向该窗口</source>
        <translation>無法重新導向該視窗</translation>
    </message>
    <message>
        <source>系统资源不足</source>
        <translation>系統資源不足</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>tessal: 识别失败：%1</source>
        <translation>tessal: 辨識失敗：%1</translation>
    </message>
    <message>
        <source>文件名中不能有换行符</source>
        <translation>檔案名稱中不能有換行字元</translation>
    </message>
</context>
</TS>

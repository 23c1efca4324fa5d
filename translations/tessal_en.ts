<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AlertPresenter</name>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>AnnotationHost</name>
    <message>
        <source>无法保存截图</source>
        <translation>Cannot Save Screenshot</translation>
    </message>
    <message>
        <source>内存不足，无法生成 PNG 图片，文件没有写入。</source>
        <translation>Not enough memory to make the PNG image; the file was not written.</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>AnnotationTextView</name>
    <message>
        <source>回车换行，%1 确认，Esc 取消</source>
        <translation>Return for a new line, %1 to finish, Esc to cancel</translation>
    </message>
</context>
<context>
    <name>AnnotationToolbar</name>
    <message>
        <source>%1 · %2 · 按住空格临时移动</source>
        <translation>%1 · %2 · hold Space to move for a moment</translation>
    </message>
    <message>
        <source>马赛克</source>
        <translation>Mosaic</translation>
    </message>
    <message>
        <source>涂抹</source>
        <translation>Brush</translation>
    </message>
    <message>
        <source>框选</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>马赛克模式</source>
        <translation>Mosaic mode</translation>
    </message>
    <message>
        <source>笔刷大小</source>
        <translation>Brush size</translation>
    </message>
    <message>
        <source>文字／编号字号（10–96）</source>
        <translation>Text and marker font size (10–96)</translation>
    </message>
    <message>
        <source>文字／编号字号</source>
        <translation>Text and marker font size</translation>
    </message>
    <message>
        <source>字号</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>已复制</source>
        <translation>Copied</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>截图  %1</source>
        <translation>Take Screenshot  %1</translation>
    </message>
    <message>
        <source>原设置文件已损坏且无法移到一旁，已原样保留</source>
        <translation>The settings file is damaged and could not be moved aside; it was left as it is</translation>
    </message>
    <message>
        <source>快捷键 %1 注册失败，可能已被其他应用或系统占用。可从菜单栏设置其他快捷键，或点击截图。</source>
        <translation>The shortcut %1 could not be registered; another application or the system may be using it. Set another shortcut from the tray menu, or click Take Screenshot.</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>延时截图</source>
        <translation>Delayed Screenshot</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>取消延时截图</source>
        <translation>Cancel Delayed Screenshot</translation>
    </message>
    <message>
        <source>重复上次区域</source>
        <translation>Repeat Last Region</translation>
    </message>
    <message>
        <source>设置截图快捷键…</source>
        <translation>Set Screenshot Shortcut…</translation>
    </message>
    <message>
        <source>截图偏好…</source>
        <translation>Screenshot Preferences…</translation>
    </message>
    <message>
        <source>截图历史…</source>
        <translation>Screenshot History…</translation>
    </message>
    <message>
        <source>开机启动</source>
        <translation>Start at Login</translation>
    </message>
    <message>
        <source>退出Tessal</source>
        <translation>Quit Tessal</translation>
    </message>
    <message>
        <source>Tessal截图</source>
        <translation>Tessal Screenshot</translation>
    </message>
    <message>
        <source>Tessal截图 · %1 秒后截图</source>
        <translation>Tessal Screenshot · capturing in %1 s</translation>
    </message>
    <message>
        <source>按 %1 截图</source>
        <translation>Press %1 to take a screenshot</translation>
    </message>
    <message>
        <source>运行 tessal capture 截图</source>
        <translation>Run tessal capture to take a screenshot</translation>
    </message>
    <message>
        <source>；托盘图标里有更多功能。</source>
        <translation>; the tray icon has more.</translation>
    </message>
    <message>
        <source>。</source>
        <translation>.</translation>
    </message>
    <message>
        <source>Tessal 正在运行</source>
        <translation>Tessal is running</translation>
    </message>
    <message>
        <source>无法保存设置</source>
        <translation>Cannot Save Settings</translation>
    </message>
    <message>
        <source>设置文件“%1”无法写入：%2。更改只在本次运行期间有效。</source>
        <translation>The settings file “%1” cannot be written: %2. Changes last only until Tessal quits.</translation>
    </message>
    <message>
        <source>无法注册 %1，请换一个组合键。原快捷键保持不变。</source>
        <translation>%1 cannot be registered; please choose another combination. The current shortcut stays.</translation>
    </message>
    <message>
        <source>无法重复上次区域</source>
        <translation>Cannot Repeat the Last Region</translation>
    </message>
    <message>
        <source>无法开始长截图</source>
        <translation>Cannot Start a Long Capture</translation>
    </message>
    <message>
        <source>长截图</source>
        <translation>Long Capture</translation>
    </message>
    <message>
        <source>历史截图</source>
        <translation>Screenshot from History</translation>
    </message>
    <message>
        <source>无法选中这个区域</source>
        <translation>Cannot Select This Region</translation>
    </message>
</context>
<context>
    <name>AppRelease</name>
    <message>
        <source>无法解析服务器返回的更新信息。</source>
        <translation>The update information from the server cannot be read.</translation>
    </message>
    <message>
        <source>服务器返回了无效的响应。</source>
        <translation>The server sent an invalid response.</translation>
    </message>
    <message>
        <source>更新信息的格式不正确（%1）。</source>
        <translation>The update information is malformed (%1).</translation>
    </message>
</context>
<context>
    <name>AppServices</name>
    <message>
        <source>
请稍后通过“检查更新”重试。</source>
        <translation>
Please try again later with Check for Updates.</translation>
    </message>
    <message>
        <source>暂时无法安装更新</source>
        <translation>The Update Cannot Be Installed Now</translation>
    </message>
    <message>
        <source>更新由安装本程序的软件包管理器提供</source>
        <translation>Updates come from the package manager that installed Tessal</translation>
    </message>
    <message>
        <source>此版本未启用应用内更新</source>
        <translation>Updates are off in this version</translation>
    </message>
    <message>
        <source>正在准备更新</source>
        <translation>Preparing the Update</translation>
    </message>
    <message>
        <source>下载和校验完成后会提示重启安装。</source>
        <translation>Once it is downloaded and verified, you will be asked to restart and install it.</translation>
    </message>
    <message>
        <source>更新通道尚未上线</source>
        <translation>No Update Channel Yet</translation>
    </message>
    <message>
        <source>当前构建未启用更新检测，请从%1官网下载支持检查更新的新版本。</source>
        <translation>This build does not check for updates; download a version that does from the %1 website.</translation>
    </message>
    <message>
        <source>暂时无法检查更新</source>
        <translation>Cannot Check for Updates Now</translation>
    </message>
    <message>
        <source>已是最新版本</source>
        <translation>Tessal Is Up to Date</translation>
    </message>
    <message>
        <source>需要更新系统</source>
        <translation>System Update Needed</translation>
    </message>
    <message>
        <source>新版本需要 glibc %1 或更新版本的系统。</source>
        <translation>The new version needs a system with glibc %1 or later.</translation>
    </message>
    <message>
        <source>更新已就绪</source>
        <translation>Update Ready</translation>
    </message>
    <message>
        <source>请先结束截图并关闭编辑窗口，再通过“检查更新”重启安装。</source>
        <translation>Finish the screenshot and close the editing windows first, then restart and install with Check for Updates.</translation>
    </message>
    <message>
        <source>%1 %2 更新已就绪</source>
        <translation>%1 %2 Is Ready</translation>
    </message>
    <message>
        <source>%1

重启后自动安装，偏好和截图历史会保留。</source>
        <translation>%1

It installs when Tessal restarts; preferences and screenshot history are kept.</translation>
    </message>
    <message>
        <source>重启并更新</source>
        <translation>Restart and Update</translation>
    </message>
    <message>
        <source>稍后</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>上次更新未完成</source>
        <translation>The Last Update Did Not Finish</translation>
    </message>
    <message>
        <source>无法修改开机启动</source>
        <translation>Cannot Change Start at Login</translation>
    </message>
    <message>
        <source>请先将%1安装到固定位置（例如 ~/.local/opt），再重试。也可以在桌面环境的“自动启动”设置中管理。</source>
        <translation>Install %1 in a permanent place (such as ~/.local/opt) first, then try again. You can also manage it in your desktop’s autostart settings.</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>更新应用的标识或版本不匹配。</source>
        <translation>The update’s identifier or version does not match.</translation>
    </message>
    <message>
        <source>更新文件处理失败（%1）。原应用未被替换。</source>
        <translation>Processing the update failed (%1). The installed application was not replaced.</translation>
    </message>
    <message>
        <source>请先将应用放到有写入权限的安装目录（例如 ~/.local/opt），再重试应用内更新。</source>
        <translation>Move the application to a folder you can write to (such as ~/.local/opt), then try updating again.</translation>
    </message>
    <message>
        <source>更新应用的芯片架构不匹配。</source>
        <translation>The update is built for another processor architecture.</translation>
    </message>
    <message>
        <source>更新应用签名校验失败，或与当前应用的签名身份不一致。</source>
        <translation>The update’s signature is invalid or does not match the installed application’s.</translation>
    </message>
    <message>
        <source>更新包下载失败，请检查网络。</source>
        <translation>Downloading the update failed; please check the network.</translation>
    </message>
    <message>
        <source>更新包大小不匹配。</source>
        <translation>The update’s size does not match.</translation>
    </message>
    <message>
        <source>更新包大小或 SHA-256 校验失败，已停止安装。</source>
        <translation>The update’s size or SHA-256 check failed; installation stopped.</translation>
    </message>
    <message>
        <source>更新包中未找到唯一匹配的应用。</source>
        <translation>The update does not contain exactly one matching application.</translation>
    </message>
</context>
<context>
    <name>AutoScroller</name>
    <message>
        <source>画面未变化，自动滚动已停止。可手动继续，或直接复制。</source>
        <translation>The picture stopped changing, so auto-scroll stopped. Continue by hand, or copy now.</translation>
    </message>
    <message>
        <source>自动滚动已停止。请沿刚才滚动的反方向稍作回滚，匹配恢复后可继续。</source>
        <translation>Auto-scroll stopped. Scroll back a little, against the direction you scrolled; once the frames match again you can go on.</translation>
    </message>
    <message>
        <source>已切换应用，自动滚动停止。</source>
        <translation>Another app came to the front, so auto-scroll stopped.</translation>
    </message>
    <message>
        <source>目标区域被遮挡，自动滚动停止。</source>
        <translation>The region is covered, so auto-scroll stopped.</translation>
    </message>
    <message>
        <source>无法向原窗口发送滚动，自动滚动停止；仍可手动滚动。</source>
        <translation>Cannot send scrolling to the window, so auto-scroll stopped; you can still scroll by hand.</translation>
    </message>
</context>
<context>
    <name>CapturePreferencesWindow</name>
    <message>
        <source>Tessal · 截图偏好</source>
        <translation>Tessal · Screenshot Preferences</translation>
    </message>
    <message>
        <source>复制后退出截图</source>
        <translation>Close the screenshot after copying</translation>
    </message>
    <message>
        <source>保留截图历史</source>
        <translation>Keep screenshot history</translation>
    </message>
    <message>
        <source>%1 张</source>
        <translation>%1 screenshots</translation>
    </message>
    <message>
        <source>历史仅存本机，容量上限 200 MB；关闭后停止记录，已有的历史保留，可在截图历史中删除或清空。</source>
        <translation>History stays on this computer, up to 200 MB. Turning it off stops recording; what is kept stays until you delete or clear it in Screenshot History.</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>Same as the system</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>下次启动 Tessal 时生效</source>
        <translation>Applies the next time Tessal starts</translation>
    </message>
    <message>
        <source>截图后默认工具</source>
        <translation>Tool after capture</translation>
    </message>
    <message>
        <source>历史数量上限</source>
        <translation>Keep at most</translation>
    </message>
    <message>
        <source>无法整理截图历史</source>
        <translation>Cannot Tidy the Screenshot History</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>截图时显示指针</source>
        <translation>Show the pointer in screenshots</translation>
    </message>
    <message>
        <source>把指针画进截图（包括截图时冻结的画面）</source>
        <translation>Draw the pointer into screenshots (the frozen screen of a capture too)</translation>
    </message>
</context>
<context>
    <name>ChildRegionPermissionGuide</name>
    <message>
        <source>增强自动选区识别</source>
        <translation>Better Automatic Selection</translation>
    </message>
    <message>
        <source>Tessal已默认按图像边界识别卡片和面板。允许辅助功能后，还能补充应用的控件层级，识别更准确。

点击“去开启”，Tessal会为当前桌面会话打开辅助功能（AT-SPI），并打开桌面的辅助功能设置。随后回到要截图的窗口，再按 %1。

选择“先截图”也能使用图像自动选区和手动框选。</source>
        <translation>Tessal already finds cards and panels from the edges in the picture. With accessibility allowed, it also uses the applications’ own widget tree, which is more precise.

Turn On enables accessibility (AT-SPI) for this desktop session and opens the desktop’s accessibility settings. Then go back to the window you want to capture and press %1 again.

With Capture Now, selection from the picture and drawing a rectangle still work.</translation>
    </message>
    <message>
        <source>去开启</source>
        <translation>Turn On</translation>
    </message>
    <message>
        <source>先截图</source>
        <translation>Capture Now</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>图片太大（%1 × %2 像素），最多可读 %3 万像素</source>
        <translation>The picture is too large (%1 × %2 pixels); at most %3 × 10,000 pixels can be read</translation>
    </message>
    <message>
        <source>--region 需要 X,Y,W,H，宽和高为正数</source>
        <translation>--region needs X,Y,W,H with a positive width and height</translation>
    </message>
    <message>
        <source>--delay 需要 0 到 60 之间的秒数</source>
        <translation>--delay needs a number of seconds from 0 to 60</translation>
    </message>
    <message>
        <source>--display 需要一个不小于 0 的整数</source>
        <translation>--display needs a whole number of 0 or more</translation>
    </message>
    <message>
        <source>--last-region 不能与其他选项同用</source>
        <translation>--last-region cannot be used with other options</translation>
    </message>
    <message>
        <source>--list-windows 不能与其他选项同用</source>
        <translation>--list-windows cannot be used with other options</translation>
    </message>
    <message>
        <source>regions 需要 --window</source>
        <translation>regions needs --window</translation>
    </message>
    <message>
        <source>--window 需要 X,Y,W,H，宽和高为正数</source>
        <translation>--window needs X,Y,W,H with a positive width and height</translation>
    </message>
    <message>
        <source>--screen 需要 W,H，均为正数</source>
        <translation>--screen needs W,H, both positive</translation>
    </message>
    <message>
        <source>stitch 需要 -o 输出文件</source>
        <translation>stitch needs an output file with -o</translation>
    </message>
    <message>
        <source>--lang 需要语言</source>
        <translation>--lang needs languages</translation>
    </message>
    <message>
        <source>显示这个命令的帮助</source>
        <translation>Show help for this command</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>启动 Tessal；已在运行时，由通知告知</source>
        <translation>Start Tessal; if it is already running, a notification says so</translation>
    </message>
    <message>
        <source>显示版本</source>
        <translation>Show the version</translation>
    </message>
    <message>
        <source>显示帮助</source>
        <translation>Show help</translation>
    </message>
    <message>
        <source>等待这么多秒后再截图（0 到 60，可带小数）</source>
        <translation>Wait this many seconds before capturing (0 to 60, fractions allowed)</translation>
    </message>
    <message>
        <source>再次截取上次复制、保存或贴图的区域</source>
        <translation>Capture the region last copied, saved or pinned again</translation>
    </message>
    <message>
        <source>写入的 PNG 文件；- 表示标准输出</source>
        <translation>The PNG file to write; - means standard output</translation>
    </message>
    <message>
        <source>显示器序号（0 为主显示器）</source>
        <translation>Display number (0 is the main display)</translation>
    </message>
    <message>
        <source>打开一张 PNG 或 JPEG 图片进行标注</source>
        <translation>Open a PNG or JPEG image for annotating</translation>
    </message>
    <message>
        <source>打开截图历史窗口</source>
        <translation>Open the screenshot history window</translation>
    </message>
    <message>
        <source>打开截图偏好设置窗口</source>
        <translation>Open the capture preferences window</translation>
    </message>
    <message>
        <source>列出截图中一个窗口里找到的面板（屏幕局部点坐标，原点在左下角，从小到大）</source>
        <translation>List the panels found inside one window of a screenshot (screen-local points, origin bottom-left, smallest first)</translation>
    </message>
    <message>
        <source>窗口在截图中的位置，屏幕局部点坐标</source>
        <translation>Where the window is in the screenshot, in screen-local points</translation>
    </message>
    <message>
        <source>显示器的点尺寸（默认为图片尺寸）</source>
        <translation>The display&apos;s size in points (default: the image&apos;s size)</translation>
    </message>
    <message>
        <source>把一个滚动区域的各帧拼接成一张图片</source>
        <translation>Stitch the frames of a scrolling area into one image</translation>
    </message>
    <message>
        <source>滚动方向</source>
        <translation>Scrolling direction</translation>
    </message>
    <message>
        <source>不自动裁去固定的页眉和页脚</source>
        <translation>Do not cut away fixed headers and footers automatically</translation>
    </message>
    <message>
        <source>写入的 PNG 文件</source>
        <translation>The PNG file to write</translation>
    </message>
    <message>
        <source>输出图片中的文字，每读出一行输出一行</source>
        <translation>Print the text of an image, one line for each line read</translation>
    </message>
    <message>
        <source>要识别的语言，以逗号分隔</source>
        <translation>Languages to recognise, separated by commas</translation>
    </message>
    <message>
        <source>--dump-man 不带参数</source>
        <translation>--dump-man takes no value</translation>
    </message>
    <message>
        <source>--dump-completions 需要 bash、zsh 或 fish</source>
        <translation>--dump-completions needs bash, zsh or fish</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>Unexpected argument: %1</translation>
    </message>
    <message>
        <source>未知的命令：%1</source>
        <translation>Unknown command: %1</translation>
    </message>
    <message>
        <source>%1 需要 %2</source>
        <translation>%1 needs %2</translation>
    </message>
    <message>
        <source>--%1 不认识的值：%2（可用：%3）</source>
        <translation>--%1 does not know the value %2 (possible: %3)</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>done</translation>
    </message>
    <message>
        <source>被用户取消</source>
        <translation>cancelled by the user</translation>
    </message>
    <message>
        <source>用法或输入有误</source>
        <translation>wrong usage or input</translation>
    </message>
    <message>
        <source>截图失败（原因写在标准错误上）</source>
        <translation>capture failed (the reason is written to standard error)</translation>
    </message>
    <message>
        <source>用法：%1 [命令] [选项]
</source>
        <translation>Usage: %1 [command] [options]
</translation>
    </message>
    <message>
        <source>命令：
</source>
        <translation>Commands:
</translation>
    </message>
    <message>
        <source>选项：
</source>
        <translation>Options:
</translation>
    </message>
    <message>
        <source>每个命令的选项：tessal 命令 --help
</source>
        <translation>Options of each command: tessal COMMAND --help
</translation>
    </message>
    <message>
        <source>用法：%1
</source>
        <translation>Usage: %1
</translation>
    </message>
    <message>
        <source>退出状态：
</source>
        <translation>Exit status:
</translation>
    </message>
    <message>
        <source>截图、标注、文字识别与长截图</source>
        <translation>Screenshots, annotation, text recognition and scrolling capture</translation>
    </message>
    <message>
        <source>tessal: 无法写入 %1：%2
</source>
        <translation>tessal: cannot write %1: %2
</translation>
    </message>
    <message>
        <source>不是可以识别的图片格式</source>
        <translation>not an image format Tessal can read</translation>
    </message>
    <message>
        <source>图片已损坏或不完整</source>
        <translation>the image is damaged or incomplete</translation>
    </message>
    <message>
        <source>--window 需要窗口编号（--list-windows 所列的 id）</source>
        <translation>--window needs a window number (an id that --list-windows prints)</translation>
    </message>
    <message>
        <source>--full、--region、--window、--active-window 和 --window-under-pointer 只能选一个</source>
        <translation>Give only one of --full, --region, --window, --active-window and --window-under-pointer</translation>
    </message>
    <message>
        <source>--full、--region 和窗口选项不能与 --list-windows 同用</source>
        <translation>--full, --region and the window options cannot be used with --list-windows</translation>
    </message>
    <message>
        <source>--display 不能与窗口选项同用：窗口在哪个显示器上就截哪个</source>
        <translation>--display cannot be used with the window options: a window is captured on the display it is on</translation>
    </message>
    <message>
        <source>--display 需要 --full 或 --region</source>
        <translation>--display needs --full or --region</translation>
    </message>
    <message>
        <source>-o、--clipboard、--pin、--edit 和 --print-geometry 需要 --full、--region 或窗口选项</source>
        <translation>-o, --clipboard, --pin, --edit and --print-geometry need --full, --region or a window option</translation>
    </message>
    <message>
        <source>--accept-on-select 只用于交互截图，不能与 -o、--clipboard、--pin、--edit 或 --print-geometry 同用</source>
        <translation>--accept-on-select is for interactive captures only and cannot be used with -o, --clipboard, --pin, --edit or --print-geometry</translation>
    </message>
    <message>
        <source>--pointer 只用于不经界面的截图；交互截图是否显示指针由偏好设置决定</source>
        <translation>--pointer is for captures without the interface only; whether interactive captures show the pointer is a preference</translation>
    </message>
    <message>
        <source>--full 和窗口选项需要 -o 文件（或 -o -）、--clipboard、--pin、--edit 或 --print-geometry</source>
        <translation>--full and the window options need -o FILE (or -o -), --clipboard, --pin, --edit or --print-geometry</translation>
    </message>
    <message>
        <source>在运行中的 Tessal 里开始截图；给出来源（--full、--region 或窗口）和去处时不经界面直接截取</source>
        <translation>Start a capture in the running Tessal; given a source (--full, --region or a window) and a destination, capture directly without the interface</translation>
    </message>
    <message>
        <source>截取整个显示器，不经界面</source>
        <translation>Capture the whole display, without the interface</translation>
    </message>
    <message>
        <source>截取显示器的一部分：以显示器左下角为原点的点坐标，与 --list-windows 所列相同；超出显示器的部分被裁去并说明，完全在外则拒绝；没有去处时打开交互截图并选中这个区域</source>
        <translation>Capture part of the display: points from the display&apos;s bottom-left corner, as --list-windows prints them; what lies off the display is cut and said so, a region wholly outside is refused; without a destination, an interactive capture opens with this region selected</translation>
    </message>
    <message>
        <source>截取编号为 ID 的窗口（含边框，--list-windows 列出编号）</source>
        <translation>Capture the window numbered ID (with its frame; --list-windows prints the numbers)</translation>
    </message>
    <message>
        <source>截取当前活动的窗口（含边框）</source>
        <translation>Capture the active window (with its frame)</translation>
    </message>
    <message>
        <source>截取指针下的窗口（含边框）</source>
        <translation>Capture the window under the pointer (with its frame)</translation>
    </message>
    <message>
        <source>放到剪贴板上，由运行中的 Tessal 保持（没有运行时先启动它）</source>
        <translation>Put it on the clipboard, held by the running Tessal (started first when none runs)</translation>
    </message>
    <message>
        <source>在截取的位置贴图（由运行中的 Tessal）</source>
        <translation>Pin it where it was taken (by the running Tessal)</translation>
    </message>
    <message>
        <source>在运行中的 Tessal 里打开标注窗口编辑截图</source>
        <translation>Open it for annotating in the running Tessal</translation>
    </message>
    <message>
        <source>输出截取的矩形：--display N --region X,Y,W,H（用 -o - 时写在标准错误上）</source>
        <translation>Print the rectangle taken: --display N --region X,Y,W,H (on standard error with -o -)</translation>
    </message>
    <message>
        <source>把指针画进截图</source>
        <translation>Draw the pointer into the screenshot</translation>
    </message>
    <message>
        <source>交互截图中第一次完成的选择（拖出、点选窗口，或移动、缩放给定的区域）如按回车一样复制</source>
        <translation>In an interactive capture, copy the first selection completed (drawn, a window clicked, or the given region moved or resized) as Return would</translation>
    </message>
    <message>
        <source>列出每个显示器上可选的窗口及其编号</source>
        <translation>List the selectable windows on each display, with their numbers</translation>
    </message>
    <message>
        <source>tessal: 桌面正在询问是否允许 Tessal 截图，请在它的对话框中选择“允许”。
</source>
        <translation>tessal: the desktop is asking whether Tessal may take screenshots; choose “Allow” in its dialog.
</translation>
    </message>
</context>
<context>
    <name>CopiedNote</name>
    <message>
        <source>已复制</source>
        <translation>Copied</translation>
    </message>
</context>
<context>
    <name>DefaultsStore</name>
    <message>
        <source>原设置文件已损坏且无法移到一旁，已原样保留</source>
        <translation>The settings file is damaged and could not be moved aside; it was left as it is</translation>
    </message>
    <message>
        <source>写入失败</source>
        <translation>Writing failed</translation>
    </message>
</context>
<context>
    <name>Editor</name>
    <message>
        <source>无法截图</source>
        <translation>Cannot Take a Screenshot</translation>
    </message>
    <message>
        <source>另一个程序正占用键盘或鼠标，截图时将无法使用 Esc 和回车。请先关闭正在打开的菜单或拖动，再重新截图。</source>
        <translation>Another program is holding the keyboard or the mouse, so Esc and Return would not work in the screenshot. Close the open menu or finish the drag, then take the screenshot again.</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>FakePlatform</name>
    <message>
        <source>无法读取窗口内容</source>
        <translation>Cannot read the window’s content</translation>
    </message>
</context>
<context>
    <name>FileErrors</name>
    <message>
        <source>文件夹不存在</source>
        <translation>The folder does not exist</translation>
    </message>
    <message>
        <source>路径中的“%1”不是文件夹</source>
        <translation>“%1” in the path is not a folder</translation>
    </message>
    <message>
        <source>同名的文件夹已存在</source>
        <translation>A folder with that name exists</translation>
    </message>
    <message>
        <source>磁盘是只读的</source>
        <translation>The disk is read-only</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <source>没有写入权限</source>
        <translation>No permission to write</translation>
    </message>
    <message>
        <source>写入失败</source>
        <translation>Writing failed</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>The file does not exist</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>This is a folder</translation>
    </message>
    <message>
        <source>没有读取权限</source>
        <translation>No permission to read</translation>
    </message>
</context>
<context>
    <name>HttpTransfer</name>
    <message>
        <source>连接超时。</source>
        <translation>The connection timed out.</translation>
    </message>
    <message>
        <source>找不到更新服务器。</source>
        <translation>The update server cannot be found.</translation>
    </message>
    <message>
        <source>无法连接更新服务器。</source>
        <translation>Cannot connect to the update server.</translation>
    </message>
    <message>
        <source>无法与更新服务器建立安全连接。</source>
        <translation>Cannot make a secure connection to the update server.</translation>
    </message>
    <message>
        <source>网络错误：%1</source>
        <translation>Network error: %1</translation>
    </message>
    <message>
        <source>更新包无法写入磁盘：%1。</source>
        <translation>The update cannot be written to disk: %1.</translation>
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
        <translation>Keys</translation>
    </message>
</context>
<context>
    <name>KeySheetModel</name>
    <message>
        <source>选择区域</source>
        <translation>Choosing</translation>
    </message>
    <message>
        <source>拖动</source>
        <translation>Drag</translation>
    </message>
    <message>
        <source>框选区域</source>
        <translation>Draw a rectangle</translation>
    </message>
    <message>
        <source>单击</source>
        <translation>Click</translation>
    </message>
    <message>
        <source>选取高亮的窗口或区域</source>
        <translation>Take the highlighted window or region</translation>
    </message>
    <message>
        <source>滚轮</source>
        <translation>Wheel</translation>
    </message>
    <message>
        <source>在窗口与其中的区域间切换</source>
        <translation>Walk between the window and regions in it</translation>
    </message>
    <message>
        <source>空格</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>只选整个窗口</source>
        <translation>Whole windows only</translation>
    </message>
    <message>
        <source>复制指针处的颜色</source>
        <translation>Copy the colour under the pointer</translation>
    </message>
    <message>
        <source>Esc / 右键</source>
        <translation>Esc / right click</translation>
    </message>
    <message>
        <source>退出截图</source>
        <translation>End the screenshot</translation>
    </message>
    <message>
        <source>选定之后</source>
        <translation>Once selected</translation>
    </message>
    <message>
        <source>方向键</source>
        <translation>Arrow keys</translation>
    </message>
    <message>
        <source>移动选区 1 像素，%1 10 像素</source>
        <translation>Move the selection 1 pixel, with %1 10 pixels</translation>
    </message>
    <message>
        <source>按住空格</source>
        <translation>Hold Space</translation>
    </message>
    <message>
        <source>拖动选区</source>
        <translation>Drag the selection</translation>
    </message>
    <message>
        <source>调整粗细或字号</source>
        <translation>Change the width or font size</translation>
    </message>
    <message>
        <source>回车 / %1</source>
        <translation>Return / %1</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>贴图</source>
        <translation>Pin to Screen</translation>
    </message>
    <message>
        <source>识别并复制文字</source>
        <translation>Recognize and copy the text</translation>
    </message>
    <message>
        <source>撤销 / 重做</source>
        <translation>Undo / Redo</translation>
    </message>
    <message>
        <source>删除所选标注</source>
        <translation>Delete the selected mark</translation>
    </message>
    <message>
        <source>右键</source>
        <translation>Right click</translation>
    </message>
    <message>
        <source>重新选择</source>
        <translation>Choose again</translation>
    </message>
    <message>
        <source>工具</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>显示或隐藏本说明</source>
        <translation>Show or hide these keys</translation>
    </message>
</context>
<context>
    <name>LastRegion</name>
    <message>
        <source>这组显示器上还没有截过图：先截一次图（复制、保存或贴图），之后就能重复它的区域。</source>
        <translation>No screenshot was taken on these displays yet: take one (copy, save or pin it), then its region can be repeated.</translation>
    </message>
    <message>
        <source>上次的区域已不在任何一个显示器之内（显示器的排列或分辨率变了）。请重新框选。</source>
        <translation>The last region is no longer on any display (their arrangement or resolution changed). Please select again.</translation>
    </message>
    <message>
        <source>没有序号为 %1 的显示器（显示器共 %2 个）</source>
        <translation>There is no display %1 (displays: %2)</translation>
    </message>
    <message>
        <source>这个区域不在显示器 %1 上</source>
        <translation>This region is not on display %1</translation>
    </message>
</context>
<context>
    <name>LegacyApplicationNotice</name>
    <message>
        <source>建议移除旧版应用</source>
        <translation>Remove the Earlier Version</translation>
    </message>
    <message>
        <source>检测到：%1。

请先退出旧版，再将旧应用移到回收站，之后只使用Tessal。只移除应用，不要清理其设置或应用支持文件；已有设置和截图历史会保留。</source>
        <translation>Found: %1.

Quit the earlier version, move it to the trash, and use only Tessal from now on. Remove only the application, not its settings or support files; your settings and screenshot history are kept.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>在文件管理器中查看</source>
        <translation>Show in File Manager</translation>
    </message>
    <message>
        <source>稍后处理</source>
        <translation>Later</translation>
    </message>
</context>
<context>
    <name>LongCaptureControlWindow</name>
    <message>
        <source>Tessal · 长截图</source>
        <translation>Tessal · Long Capture</translation>
    </message>
    <message>
        <source>纵向</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>横向</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>长截图方向</source>
        <translation>Long capture direction</translation>
    </message>
    <message>
        <source>自动滚动</source>
        <translation>Auto Scroll</translation>
    </message>
    <message>
        <source>自动向下滚动；匹配异常或目标被遮挡时停止自动滚动</source>
        <translation>Scroll down automatically; stops when frames stop matching or the region is covered</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>慢速</source>
        <translation>Slow</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>快速</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>自动滚动速度</source>
        <translation>Auto scroll speed</translation>
    </message>
    <message>
        <source>停止／开始 · 空格</source>
        <translation>Stop/Start · Space</translation>
    </message>
    <message>
        <source>裁剪两端</source>
        <translation>Trim Both Ends</translation>
    </message>
    <message>
        <source>回滚裁剪</source>
        <translation>Cut on Scroll Back</translation>
    </message>
    <message>
        <source>反向滚动会裁掉已拼接的末端；关闭后保留已有长图</source>
        <translation>Scrolling back cuts off the stitched end; when off, the image keeps what it has</translation>
    </message>
    <message>
        <source>编辑长图</source>
        <translation>Edit the Image</translation>
    </message>
    <message>
        <source>贴图</source>
        <translation>Pin to Screen</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>关闭 · Esc</source>
        <translation>Close · Esc</translation>
    </message>
    <message>
        <source>复制 · Enter</source>
        <translation>Copy · Enter</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>LongCaptureFeedback</name>
    <message>
        <source>已拼接。继续滚动，或直接复制、保存。</source>
        <translation>Stitched. Keep scrolling, or copy or save it now.</translation>
    </message>
    <message>
        <source>已按回滚位置裁剪，可继续滚动。</source>
        <translation>Cut where you scrolled back; you can keep scrolling.</translation>
    </message>
    <message>
        <source>已回到匹配位置，可继续滚动。</source>
        <translation>Back at a matching position; you can keep scrolling.</translation>
    </message>
    <message>
        <source>画面未变化；若已到底，可直接复制或保存。</source>
        <translation>Nothing changed; if this is the end, copy or save it.</translation>
    </message>
    <message>
        <source>尚未匹配，已有内容已保留。请沿刚才滚动的反方向稍作回滚；预览红框表示匹配中断。</source>
        <translation>No match yet; what was stitched is kept. Scroll back a little against the direction you scrolled; a red frame in the preview marks the break.</translation>
    </message>
    <message>
        <source>已达到长度上限，已有内容保留，可复制或保存。</source>
        <translation>The length limit is reached; what was stitched is kept and can be copied or saved.</translation>
    </message>
</context>
<context>
    <name>LongCaptureMoveButton</name>
    <message>
        <source>拖动选区 · 采集中沿截图方向延伸</source>
        <translation>Drag the region · while capturing, it extends along the direction</translation>
    </message>
</context>
<context>
    <name>LongCapturePreview</name>
    <message>
        <source>Tessal · 长截图预览</source>
        <translation>Tessal · Long Capture Preview</translation>
    </message>
</context>
<context>
    <name>LongCaptureRegionView</name>
    <message>
        <source>Tessal · 长截图选区</source>
        <translation>Tessal · Long Capture Region</translation>
    </message>
</context>
<context>
    <name>LongCaptureTrimDialog</name>
    <message>
        <source>裁剪长图</source>
        <translation>Trim the Image</translation>
    </message>
    <message>
        <source>拖动蓝线，或输入顶部、底部要去掉的像素。</source>
        <translation>Drag the blue lines, or type the pixels to cut at the top and bottom.</translation>
    </message>
    <message>
        <source>拖动蓝线，或输入左端、右端要去掉的像素。</source>
        <translation>Drag the blue lines, or type the pixels to cut at the left and right.</translation>
    </message>
    <message>
        <source>顶部</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>左端</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>底部</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <source>右端</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>恢复完整长图</source>
        <translation>Restore the Whole Image</translation>
    </message>
</context>
<context>
    <name>LongFrameStream</name>
    <message>
        <source>无法转换滚动区域的视频帧，请重新选择区域。</source>
        <translation>Frames of the scrolling region cannot be converted; please select the region again.</translation>
    </message>
</context>
<context>
    <name>LongScreenshot</name>
    <message>
        <source>滚动原窗口，或点“自动滚动”。空格停止，Enter 复制，Esc 关闭。</source>
        <translation>Scroll the window, or click Auto Scroll. Space stops, Enter copies, Esc closes.</translation>
    </message>
    <message>
        <source>已停止，点开始继续，或直接复制、保存。</source>
        <translation>Stopped. Click Start to go on, or copy or save it now.</translation>
    </message>
    <message>
        <source>显示器已断开，请重新选择区域。</source>
        <translation>The display was disconnected; please select the region again.</translation>
    </message>
    <message>
        <source>请在一个窗口内部框选可滚动内容。 </source>
        <translation>Select scrollable content inside one window. </translation>
    </message>
    <message>
        <source>目标窗口尚未准备好，请取消后重新选择。 </source>
        <translation>The window is not ready yet; cancel and select again. </translation>
    </message>
    <message>
        <source>目标窗口已移动、缩放或关闭。</source>
        <translation>The window was moved, resized or closed.</translation>
    </message>
    <message>
        <source>正在连接滚动窗口…</source>
        <translation>Connecting to the scrolling window…</translation>
    </message>
    <message>
        <source>准备截取</source>
        <translation>Ready to capture</translation>
    </message>
    <message>
        <source>滚动过快，部分中间帧未能保留。若未接上，请稍向回滚动。</source>
        <translation>Scrolled too fast; some frames in between were lost. If the image does not join up, scroll back a little.</translation>
    </message>
    <message>
        <source> 已有内容保留，可复制、保存或编辑。</source>
        <translation> What was stitched is kept and can be copied, saved or edited.</translation>
    </message>
    <message>
        <source>已停止，已有内容保留。点开始继续，或复制、保存、编辑。</source>
        <translation>Stopped; what was stitched is kept. Click Start to go on, or copy, save or edit it.</translation>
    </message>
    <message>
        <source>继续滚动原窗口，或开启自动滚动。</source>
        <translation>Keep scrolling the window, or turn on Auto Scroll.</translation>
    </message>
    <message>
        <source>自动滚动</source>
        <translation>Auto Scroll</translation>
    </message>
    <message>
        <source>自动滚动需要辅助功能授权；仍可在原窗口手动滚动。</source>
        <translation>Auto scroll needs accessibility permission; you can still scroll the window by hand.</translation>
    </message>
    <message>
        <source>已切换手动滚动。</source>
        <translation>Switched to scrolling by hand.</translation>
    </message>
    <message>
        <source>停止自动</source>
        <translation>Stop Auto Scroll</translation>
    </message>
    <message>
        <source>自动向上滚动中；空格停止，Enter 复制。</source>
        <translation>Scrolling up automatically; Space stops, Enter copies.</translation>
    </message>
    <message>
        <source>自动向下滚动中；空格停止，Enter 复制。</source>
        <translation>Scrolling down automatically; Space stops, Enter copies.</translation>
    </message>
    <message>
        <source>自动向左滚动中；空格停止，Enter 复制。</source>
        <translation>Scrolling left automatically; Space stops, Enter copies.</translation>
    </message>
    <message>
        <source>自动向右滚动中；空格停止，Enter 复制。</source>
        <translation>Scrolling right automatically; Space stops, Enter copies.</translation>
    </message>
    <message>
        <source>等待开始</source>
        <translation>Waiting to start</translation>
    </message>
    <message>
        <source>方向已切换，点开始截取。</source>
        <translation>Direction changed; click Start to capture.</translation>
    </message>
    <message>
        <source>选区已调整，点开始重新截取。</source>
        <translation>Region adjusted; click Start to capture again.</translation>
    </message>
    <message>
        <source>正在沿截图方向延伸，已有内容保留。</source>
        <translation>Extending along the direction; what was stitched is kept.</translation>
    </message>
    <message>
        <source>正在生成图片，完成后再关闭。</source>
        <translation>Making the image; closing once it is done.</translation>
    </message>
</context>
<context>
    <name>LongScreenshotExport</name>
    <message>
        <source>还没有可导出的画面，请稍候。</source>
        <translation>Nothing to export yet, please wait.</translation>
    </message>
    <message>
        <source>正在准备画面，请稍候。</source>
        <translation>Preparing the picture, please wait.</translation>
    </message>
    <message>
        <source>无法创建贴图，已有内容保留。</source>
        <translation>Cannot pin the image; what was stitched is kept.</translation>
    </message>
    <message>
        <source>内存不足，无法生成图片。</source>
        <translation>Out of memory; the image cannot be made.</translation>
    </message>
    <message>
        <source>保存失败：%1</source>
        <translation>Saving failed: %1</translation>
    </message>
    <message>
        <source>裁剪值无效，已保留原图。</source>
        <translation>Invalid trim values; the image was left as it was.</translation>
    </message>
</context>
<context>
    <name>LongScreenshotResult</name>
    <message>
        <source>是否保存对截图所做的标注？</source>
        <translation>Save the marks you made on the screenshot?</translation>
    </message>
    <message>
        <source>如果不保存，新添加的标注将会丢失。</source>
        <translation>If you don’t save, the new marks are lost.</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>继续编辑</source>
        <translation>Keep Editing</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Don’t Save</translation>
    </message>
</context>
<context>
    <name>MutterScreenCast</name>
    <message>
        <source>GNOME 没有开始屏幕共享：%1</source>
        <translation>GNOME did not start the screen cast: %1</translation>
    </message>
    <message>
        <source>画面流没有在 %1 秒内就绪</source>
        <translation>the stream was not ready within %1 s</translation>
    </message>
</context>
<context>
    <name>OcrWorker</name>
    <message>
        <source>请求无效</source>
        <translation>Invalid request</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>Out of memory</translation>
    </message>
    <message>
        <source>缺少识别字典</source>
        <translation>The recognition dictionary is missing</translation>
    </message>
    <message>
        <source>无法载入识别模型：%1</source>
        <translation>Cannot load the recognition model: %1</translation>
    </message>
</context>
<context>
    <name>OverlayWindow</name>
    <message>
        <source>Tessal · 截图</source>
        <translation>Tessal · Screenshot</translation>
    </message>
</context>
<context>
    <name>PinnedImage</name>
    <message>
        <source>Tessal · 贴图</source>
        <translation>Tessal · Pinned Image</translation>
    </message>
    <message>
        <source>滚轮缩放 · 右键调透明度 · %1+滚轮调透明度 · 双击恢复大小 · Esc 关闭</source>
        <translation>Wheel zooms · right click or %1+wheel sets the opacity · double click restores the size · Esc closes</translation>
    </message>
    <message>
        <source>滚轮缩放 · 双击恢复大小 · Esc 关闭</source>
        <translation>Wheel zooms · double click restores the size · Esc closes</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>关闭贴图</source>
        <translation>Close Pinned Image</translation>
    </message>
    <message>
        <source>恢复原始大小</source>
        <translation>Actual Size</translation>
    </message>
    <message>
        <source>透明度</source>
        <translation>Opacity</translation>
    </message>
    <message>
        <source>透明度 · 需要窗口合成器</source>
        <translation>Opacity · needs a compositing manager</translation>
    </message>
    <message>
        <source>恢复不透明</source>
        <translation>Make Opaque</translation>
    </message>
    <message>
        <source>桌面没有运行窗口合成器，窗口无法半透明显示</source>
        <translation>No compositing manager is running, so windows cannot be translucent</translation>
    </message>
</context>
<context>
    <name>PipeWireStream</name>
    <message>
        <source>屏幕共享的画面格式无法读取。</source>
        <translation>The screen cast&apos;s picture format cannot be read.</translation>
    </message>
    <message>
        <source>屏幕共享出错：%1</source>
        <translation>The screen cast failed: %1</translation>
    </message>
    <message>
        <source>桌面结束了屏幕共享。</source>
        <translation>The desktop ended the screen cast.</translation>
    </message>
    <message>
        <source>屏幕共享的 PipeWire 连接断开：%1</source>
        <translation>The screen cast&apos;s PipeWire connection was lost: %1</translation>
    </message>
    <message>
        <source>无法启动 PipeWire。</source>
        <translation>PipeWire could not be started.</translation>
    </message>
    <message>
        <source>无法连接屏幕共享的 PipeWire 服务。</source>
        <translation>Cannot connect to the screen cast&apos;s PipeWire service.</translation>
    </message>
    <message>
        <source>无法连接屏幕共享的画面流。</source>
        <translation>Cannot connect to the screen cast&apos;s stream.</translation>
    </message>
</context>
<context>
    <name>PortalRequest</name>
    <message>
        <source>wlroots 桌面（sway、Hyprland 等）需要 xdg-desktop-portal-wlr，另加 xdg-desktop-portal-gtk（截图接口要靠它的授权后端）；GNOME 需要 xdg-desktop-portal-gnome；KDE 需要 xdg-desktop-portal-kde。</source>
        <translation>wlroots desktops (sway, Hyprland and others) need xdg-desktop-portal-wlr and also xdg-desktop-portal-gtk (the screenshot interface relies on its permission backend); GNOME needs xdg-desktop-portal-gnome; KDE needs xdg-desktop-portal-kde.</translation>
    </message>
    <message>
        <source>桌面没有提供截图门户（xdg-desktop-portal 的 Screenshot 接口）。</source>
        <translation>The desktop offers no screenshot portal (the Screenshot interface of xdg-desktop-portal). </translation>
    </message>
    <message>
        <source>桌面门户没有提供 %1 接口。</source>
        <translation>The desktop portal offers no %1 interface. </translation>
    </message>
    <message>
        <source>无法连接会话总线，找不到桌面门户服务。</source>
        <translation>Cannot connect to the session bus, so the desktop portal cannot be found.</translation>
    </message>
    <message>
        <source>找不到桌面门户服务（xdg-desktop-portal）。请安装它，以及与桌面相配的后端：</source>
        <translation>The desktop portal (xdg-desktop-portal) cannot be found. Install it, with the backend for your desktop: </translation>
    </message>
    <message>
        <source>桌面门户拒绝了请求：%1</source>
        <translation>The desktop portal refused the request: %1</translation>
    </message>
    <message>
        <source>桌面门户没有在 %1 秒内回应。</source>
        <translation>The desktop portal did not answer within %1 seconds.</translation>
    </message>
    <message>
        <source>桌面门户在回应之前退出了。</source>
        <translation>The desktop portal quit before answering.</translation>
    </message>
    <message>
        <source>请求已取消。</source>
        <translation>The request was cancelled.</translation>
    </message>
</context>
<context>
    <name>SaveDestination</name>
    <message>
        <source>截图-%1.png</source>
        <translation>Screenshot-%1.png</translation>
    </message>
    <message>
        <source>未设置图片文件夹</source>
        <translation>No pictures folder is set</translation>
    </message>
    <message>
        <source>图片文件夹“%1”不存在</source>
        <translation>The pictures folder “%1” does not exist</translation>
    </message>
    <message>
        <source>图片文件夹“%1”不是文件夹</source>
        <translation>The pictures folder “%1” is not a folder</translation>
    </message>
    <message>
        <source>图片文件夹“%1”不可写入</source>
        <translation>The pictures folder “%1” cannot be written to</translation>
    </message>
    <message>
        <source>%1，已改为主文件夹。</source>
        <translation>%1; using the home folder instead.</translation>
    </message>
</context>
<context>
    <name>SavePanel</name>
    <message>
        <source>保存截图</source>
        <translation>Save Screenshot</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>文件名：</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ScreenAccessNote</name>
    <message>
        <source>Tessal · 等待截图授权</source>
        <translation>Tessal · Waiting for Screenshot Permission</translation>
    </message>
    <message>
        <source>桌面正在询问是否允许 Tessal 截图，请在它的对话框中选择“允许”。按 Esc 取消截图。</source>
        <translation>The desktop is asking whether Tessal may take screenshots. Choose “Allow” in its dialog. Press Esc to cancel the screenshot.</translation>
    </message>
    <message>
        <source>取消截图</source>
        <translation>Cancel Screenshot</translation>
    </message>
</context>
<context>
    <name>ScreenCapture</name>
    <message>
        <source>没有可截取的显示器</source>
        <translation>There is no display to capture</translation>
    </message>
</context>
<context>
    <name>ScreenCaptureFailure</name>
    <message>
        <source>无法截取屏幕</source>
        <translation>Cannot Capture the Screen</translation>
    </message>
    <message>
        <source>请在桌面的系统设置中允许Tessal截取屏幕。授权后如果仍无法截图，再退出并重新打开Tessal。</source>
        <translation>Allow Tessal to capture the screen in the desktop’s system settings. If capturing still fails after that, quit Tessal and open it again.</translation>
    </message>
    <message>
        <source>打开系统设置</source>
        <translation>Open System Settings</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>
请重新截图；若刚连接或断开显示器，请等待屏幕布局稳定。</source>
        <translation>
Please take the screenshot again; if a display was just connected or disconnected, wait until the layout settles.</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ScreenCastPortal</name>
    <message>
        <source>请求已取消。</source>
        <translation>The request was cancelled.</translation>
    </message>
    <message>
        <source>桌面拒绝了屏幕共享会话。</source>
        <translation>The desktop refused the screen-cast session.</translation>
    </message>
    <message>
        <source>桌面拒绝了所选的屏幕共享来源。</source>
        <translation>The desktop refused the chosen screen-cast source.</translation>
    </message>
    <message>
        <source>屏幕共享被拒绝：长截图需要读取显示器的画面。</source>
        <translation>Screen sharing was declined: long capture needs to read the display&apos;s picture.</translation>
    </message>
    <message>
        <source>桌面没有开始屏幕共享。</source>
        <translation>The desktop did not start the screen cast.</translation>
    </message>
    <message>
        <source>桌面没有给出屏幕共享的画面流。</source>
        <translation>The desktop gave no stream for the screen cast.</translation>
    </message>
    <message>
        <source>无法连接屏幕共享的 PipeWire 服务：%1</source>
        <translation>Cannot connect to the screen cast&apos;s PipeWire service: %1</translation>
    </message>
    <message>
        <source>没有回应</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>桌面拒绝了远程控制指针的请求。</source>
        <translation>The desktop refused to let the pointer be controlled remotely.</translation>
    </message>
</context>
<context>
    <name>Screencopy</name>
    <message>
        <source>与合成器的连接已断开。</source>
        <translation>The connection to the compositor was lost.</translation>
    </message>
    <message>
        <source>合成器没有交出屏幕画面。</source>
        <translation>The compositor did not hand over the screen’s picture.</translation>
    </message>
    <message>
        <source>合成器没有在 %1 秒内交出屏幕画面。</source>
        <translation>The compositor did not hand over the screen’s picture within %1 seconds.</translation>
    </message>
    <message>
        <source>显示器已断开。</source>
        <translation>The display was disconnected.</translation>
    </message>
</context>
<context>
    <name>ScreenshotExport</name>
    <message>
        <source>无法保存截图</source>
        <translation>Cannot Save the Screenshot</translation>
    </message>
    <message>
        <source>无法保存“%1”：%2</source>
        <translation>Cannot save “%1”: %2</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>无法复制截图</source>
        <translation>Cannot Copy the Screenshot</translation>
    </message>
    <message>
        <source>内存不足，无法生成 PNG 图片，剪贴板中没有放入内容。</source>
        <translation>Out of memory: the PNG image cannot be made, and nothing was put on the clipboard.</translation>
    </message>
</context>
<context>
    <name>ScreenshotHistory</name>
    <message>
        <source>无法删除“%1”：%2</source>
        <translation>Cannot delete “%1”: %2</translation>
    </message>
    <message>
        <source>无法创建历史文件夹“%1”：%2</source>
        <translation>Cannot create the history folder “%1”: %2</translation>
    </message>
    <message>
        <source>无法写入“%1”：%2</source>
        <translation>Cannot write “%1”: %2</translation>
    </message>
    <message>
        <source>无法设置“%1”的权限</source>
        <translation>Cannot set the permissions of “%1”</translation>
    </message>
</context>
<context>
    <name>ScreenshotHistoryWindow</name>
    <message>
        <source>Tessal · 截图历史</source>
        <translation>Tessal · Screenshot History</translation>
    </message>
    <message>
        <source>截图时间</source>
        <translation>Taken</translation>
    </message>
    <message>
        <source>截图预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>开启记录</source>
        <translation>Turn On Recording</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>保存…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>继续标注</source>
        <translation>Annotate</translation>
    </message>
    <message>
        <source>贴图</source>
        <translation>Pin to Screen</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>清空历史</source>
        <translation>Clear History</translation>
    </message>
    <message>
        <source>历史记录失败：%1</source>
        <translation>Recording the history failed: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n 张 · 正在记录</source>
        <translation>
            <numerusform>%n screenshot · recording</numerusform>
            <numerusform>%n screenshots · recording</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 张 · 未开启记录，可在截图偏好中开启</source>
        <translation>
            <numerusform>%n screenshot · not recording; turn it on in Screenshot Preferences</numerusform>
            <numerusform>%n screenshots · not recording; turn it on in Screenshot Preferences</numerusform>
        </translation>
    </message>
    <message>
        <source>图片无法预览</source>
        <translation>The picture cannot be previewed</translation>
    </message>
    <message>
        <source>无法保存截图</source>
        <translation>Cannot Save the Screenshot</translation>
    </message>
    <message>
        <source>无法保存“%1”：%2</source>
        <translation>Cannot save “%1”: %2</translation>
    </message>
    <message>
        <source>知道了</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>无法删除截图</source>
        <translation>Cannot Delete the Screenshot</translation>
    </message>
    <message>
        <source>清空截图历史？</source>
        <translation>Clear the Screenshot History?</translation>
    </message>
    <message>
        <source>删除本机保存的历史记录，已另存的截图不受影响。</source>
        <translation>This deletes the history kept on this computer; screenshots you saved elsewhere are not affected.</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>无法清空截图历史</source>
        <translation>Cannot Clear the Screenshot History</translation>
    </message>
</context>
<context>
    <name>SelectionSizeEditor</name>
    <message>
        <source>设置截图尺寸</source>
        <translation>Screenshot size</translation>
    </message>
    <message>
        <source>设置截图尺寸 · 回车确定 · Esc 取消</source>
        <translation>Screenshot size · Return applies · Esc cancels</translation>
    </message>
    <message>
        <source>宽</source>
        <translation>W</translation>
    </message>
    <message>
        <source>宽度像素</source>
        <translation>Width in pixels</translation>
    </message>
    <message>
        <source>高</source>
        <translation>H</translation>
    </message>
    <message>
        <source>高度像素</source>
        <translation>Height in pixels</translation>
    </message>
</context>
<context>
    <name>SessionBusRequests</name>
    <message>
        <source>路径必须是绝对路径：“%1”</source>
        <translation>The path must be absolute: “%1”</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>正在截图：请先完成或取消当前的截图</source>
        <translation>A capture is on screen: finish or cancel it first</translation>
    </message>
    <message>
        <source>延时须在 0 到 %1 秒之间</source>
        <translation>The delay must be between 0 and %1 seconds</translation>
    </message>
    <message>
        <source>区域的宽和高须为正数</source>
        <translation>The region&apos;s width and height must be positive</translation>
    </message>
    <message>
        <source>这个区域不在任何显示器上</source>
        <translation>This region is not on any display</translation>
    </message>
</context>
<context>
    <name>ShortcutDialog</name>
    <message>
        <source>设置截图快捷键</source>
        <translation>Set the Screenshot Shortcut</translation>
    </message>
    <message>
        <source>请按下组合键，需包含 %1、%2 或 %3。</source>
        <translation>Press a key combination with %1, %2 or %3.</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>恢复默认 %1</source>
        <translation>Restore Default %1</translation>
    </message>
</context>
<context>
    <name>StillDelivery</name>
    <message>
        <source>收到的截图无法读取</source>
        <translation>The screenshot received cannot be read</translation>
    </message>
    <message>
        <source>无法把截图放到剪贴板上</source>
        <translation>Cannot put the screenshot on the clipboard</translation>
    </message>
    <message>
        <source>无法贴图</source>
        <translation>Cannot pin the screenshot</translation>
    </message>
    <message>
        <source>没有运行中的 Tessal 接收截图，也无法启动它</source>
        <translation>No running Tessal takes the screenshot, and none could be started</translation>
    </message>
    <message>
        <source>无法写入临时文件：%1</source>
        <translation>Cannot write the temporary file: %1</translation>
    </message>
    <message>
        <source>截图</source>
        <translation>Screenshot</translation>
    </message>
</context>
<context>
    <name>TextRecognition</name>
    <message>
        <source>二维码</source>
        <translation>QR code</translation>
    </message>
    <message>
        <source>%1 码</source>
        <translation>%1 code</translation>
    </message>
    <message>
        <source>条形码（%1）</source>
        <translation>Barcode (%1)</translation>
    </message>
    <message numerus="yes">
        <source>%1：二进制数据（%n 字节）</source>
        <translation>
            <numerusform>%1: binary data (%n byte)</numerusform>
            <numerusform>%1: binary data (%n bytes)</numerusform>
        </translation>
    </message>
    <message>
        <source>%1：%2</source>
        <comment>a code&apos;s kind, what it says</comment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>TextRecognitionWindow</name>
    <message>
        <source>Tessal · 识别文字</source>
        <translation>Tessal · Recognize Text</translation>
    </message>
    <message>
        <source>正在识别…</source>
        <translation>Recognizing…</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>复制文字</source>
        <translation>Copy Text</translation>
    </message>
    <message>
        <source>识别失败：未安装文字识别组件</source>
        <translation>Recognition failed: text recognition is not installed</translation>
    </message>
    <message>
        <source>识别失败：%1</source>
        <translation>Recognition failed: %1</translation>
    </message>
    <message>
        <source>识别完成，可编辑后复制</source>
        <translation>Done; edit the text if you like, then copy it</translation>
    </message>
    <message>
        <source>未识别到文字</source>
        <translation>No text found</translation>
    </message>
</context>
<context>
    <name>TextRecognizer</name>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
</context>
<context>
    <name>ToolbarModel</name>
    <message>
        <source>移动选区</source>
        <translation>Move Selection</translation>
    </message>
    <message>
        <source>选择标注</source>
        <translation>Select Marks</translation>
    </message>
    <message>
        <source>矩形</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>箭头</source>
        <translation>Arrow</translation>
    </message>
    <message>
        <source>手绘</source>
        <translation>Pen</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>圆形</source>
        <translation>Ellipse</translation>
    </message>
    <message>
        <source>马赛克</source>
        <translation>Mosaic</translation>
    </message>
    <message>
        <source>模糊</source>
        <translation>Blur</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>高亮</source>
        <translation>Highlight</translation>
    </message>
    <message>
        <source>识别文字</source>
        <translation>Recognize Text</translation>
    </message>
    <message>
        <source>识别文字 · %1 快速复制文字</source>
        <translation>Recognize Text · %1 copies the text at once</translation>
    </message>
    <message>
        <source>长截图</source>
        <translation>Long Capture</translation>
    </message>
    <message>
        <source>长截图 · 选择滚动内容区域后缓慢向下滚动</source>
        <translation>Long Capture · select the scrolling content, then scroll down slowly</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>撤销 · %1</source>
        <translation>Undo · %1</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>贴图</source>
        <translation>Pin to Screen</translation>
    </message>
    <message>
        <source>贴图 · %1</source>
        <translation>Pin to Screen · %1</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存 · %1</source>
        <translation>Save · %1</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关闭 · Esc</source>
        <translation>Close · Esc</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>复制 · %1</source>
        <translation>Copy · %1</translation>
    </message>
    <message>
        <source>红色</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>黄色</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>绿色</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>白色</source>
        <translation>White</translation>
    </message>
    <message>
        <source>黑色</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>细线</source>
        <translation>Thin</translation>
    </message>
    <message>
        <source>中线</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>粗线</source>
        <translation>Thick</translation>
    </message>
    <message>
        <source>模糊强度</source>
        <translation>Blur strength</translation>
    </message>
    <message>
        <source>低强度</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>中强度</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>高强度</source>
        <translation>High</translation>
    </message>
    <message>
        <source>颗粒大小</source>
        <translation>Cell size</translation>
    </message>
    <message>
        <source>小颗粒</source>
        <translation>Small cells</translation>
    </message>
    <message>
        <source>中颗粒</source>
        <translation>Medium cells</translation>
    </message>
    <message>
        <source>大颗粒</source>
        <translation>Large cells</translation>
    </message>
    <message>
        <source>笔刷大小</source>
        <translation>Brush size</translation>
    </message>
    <message>
        <source>小号笔刷</source>
        <translation>Small brush</translation>
    </message>
    <message>
        <source>中号笔刷</source>
        <translation>Medium brush</translation>
    </message>
    <message>
        <source>大号笔刷</source>
        <translation>Large brush</translation>
    </message>
</context>
<context>
    <name>UpdateConfiguration</name>
    <message>
        <source>Tessal截图</source>
        <translation>Tessal Screenshot</translation>
    </message>
</context>
<context>
    <name>UpdateInstaller</name>
    <message>
        <source>准备好的更新已不存在，请重新检查更新。</source>
        <translation>The prepared update is gone; please check for updates again.</translation>
    </message>
    <message>
        <source>当前构建缺少更新安装程序。</source>
        <translation>This build has no update installer.</translation>
    </message>
    <message>
        <source>更新文件处理失败（cp）。原应用未被替换。</source>
        <translation>Processing the update failed (cp). The installed application was not replaced.</translation>
    </message>
    <message>
        <source>无法启动更新安装程序：%1。</source>
        <translation>Cannot start the update installer: %1.</translation>
    </message>
    <message>
        <source>更新文件处理失败（tessal-update-helper）。原应用未被替换。</source>
        <translation>Processing the update failed (tessal-update-helper). The installed application was not replaced.</translation>
    </message>
</context>
<context>
    <name>UpdateMenuItems</name>
    <message>
        <source>自动下载更新</source>
        <translation>Download Updates Automatically</translation>
    </message>
    <message>
        <source>检查更新…</source>
        <translation>Check for Updates…</translation>
    </message>
    <message>
        <source>更新日志</source>
        <translation>Release Notes</translation>
    </message>
</context>
<context>
    <name>UpdateSource</name>
    <message>
        <source>更新组件缺失（tessal-update-helper），请重新安装Tessal。</source>
        <translation>An update component is missing (tessal-update-helper); please reinstall Tessal.</translation>
    </message>
    <message>
        <source>更新文件处理失败（tessal-update-helper）。原应用未被替换。</source>
        <translation>Processing the update failed (tessal-update-helper). The installed application was not replaced.</translation>
    </message>
</context>
<context>
    <name>UpdateStatusPanel</name>
    <message>
        <source>正在下载%1 %2</source>
        <translation>Downloading %1 %2</translation>
    </message>
    <message>
        <source>下载并校验完成后，可重启安装。</source>
        <translation>Once downloaded and verified, it can be installed with a restart.</translation>
    </message>
</context>
<context>
    <name>WaylandHotKeys</name>
    <message>
        <source>此桌面不提供全局快捷键：请在桌面的键盘设置中为命令 tessal capture 绑定快捷键</source>
        <translation>This desktop offers no global shortcuts: bind a shortcut to the command tessal capture in the desktop’s keyboard settings</translation>
    </message>
    <message>
        <source>截图</source>
        <translation>Screenshot</translation>
    </message>
</context>
<context>
    <name>WaylandScreenCapture</name>
    <message>
        <source>合成器交出的画面与显示器不符。</source>
        <translation>The compositor’s picture does not match the display.</translation>
    </message>
    <message>
        <source>合成器不提供 wlr-screencopy，无法直接截取屏幕。</source>
        <translation>The compositor does not offer wlr-screencopy, so the screen cannot be captured directly.</translation>
    </message>
    <message>
        <source>截图请求被取消。</source>
        <translation>The screenshot request was cancelled.</translation>
    </message>
    <message>
        <source>桌面门户拒绝了截图请求。</source>
        <translation>The desktop portal refused the screenshot request.</translation>
    </message>
    <message>
        <source>无法读取桌面门户返回的截图。</source>
        <translation>The screenshot from the desktop portal cannot be read.</translation>
    </message>
    <message>
        <source>截图中没有这个显示器（显示器可能刚刚变化）。</source>
        <translation>The screenshot does not include this display (the displays may have just changed).</translation>
    </message>
    <message>
        <source>KWin 没有交出屏幕画面：%1</source>
        <translation>KWin did not hand over the screen picture: %1</translation>
    </message>
    <message>
        <source>截图已取消。</source>
        <translation>The screenshot was cancelled.</translation>
    </message>
    <message>
        <source>桌面仍在等待对上一次截图请求的回答。</source>
        <translation>The desktop is still waiting for an answer to the previous screenshot request.</translation>
    </message>
</context>
<context>
    <name>WaylandWindowStream</name>
    <message>
        <source>无法读取窗口内容：%1</source>
        <translation>Cannot read the window&apos;s content: %1</translation>
    </message>
    <message>
        <source>窗口已关闭</source>
        <translation>The window was closed</translation>
    </message>
    <message>
        <source>显示器已断开</source>
        <translation>The display was disconnected</translation>
    </message>
    <message>
        <source>窗口不在任何显示器上</source>
        <translation>The window is on no display</translation>
    </message>
    <message>
        <source>合成器不提供 wlr-screencopy</source>
        <translation>The compositor does not offer wlr-screencopy</translation>
    </message>
    <message>
        <source>共享的显示器上没有要截取的区域，请选择它所在的显示器</source>
        <translation>The shared display does not hold the region to capture; choose the display it is on</translation>
    </message>
</context>
<context>
    <name>WindowSource</name>
    <message>
        <source>没有编号为 %1 的窗口（tessal capture --list-windows 列出窗口）</source>
        <translation>There is no window numbered %1 (tessal capture --list-windows lists the windows)</translation>
    </message>
    <message>
        <source>没有可截取的活动窗口</source>
        <translation>There is no active window to capture</translation>
    </message>
    <message>
        <source>这个桌面不告知指针的位置</source>
        <translation>This desktop does not tell where the pointer is</translation>
    </message>
    <message>
        <source>指针下没有可截取的窗口</source>
        <translation>There is no window to capture under the pointer</translation>
    </message>
    <message>
        <source>这个窗口不在任何显示器上</source>
        <translation>This window is on no display</translation>
    </message>
</context>
<context>
    <name>WorkerTextRecognizer</name>
    <message>
        <source>未安装文字识别组件</source>
        <translation>Text recognition is not installed</translation>
    </message>
    <message>
        <source>无法启动识别进程：%1</source>
        <translation>Cannot start the recognition process: %1</translation>
    </message>
    <message>
        <source>识别进程没有回应</source>
        <translation>The recognition process does not answer</translation>
    </message>
    <message>
        <source>识别进程的回答无法读取</source>
        <translation>The recognition process’s answer cannot be read</translation>
    </message>
    <message>
        <source>识别进程意外退出</source>
        <translation>The recognition process quit unexpectedly</translation>
    </message>
</context>
<context>
    <name>X11ScreenCapture</name>
    <message>
        <source>无法读取屏幕内容</source>
        <translation>Cannot read the screen’s content</translation>
    </message>
</context>
<context>
    <name>X11WindowStream</name>
    <message>
        <source>无法读取窗口内容：%1</source>
        <translation>Cannot read the window’s content: %1</translation>
    </message>
    <message>
        <source>窗口已关闭</source>
        <translation>the window was closed</translation>
    </message>
    <message>
        <source>与显示服务器的连接已断开</source>
        <translation>the connection to the display server was lost</translation>
    </message>
    <message>
        <source>无法连接显示服务器</source>
        <translation>cannot connect to the display server</translation>
    </message>
    <message>
        <source>显示服务器缺少 Composite 或 Damage 扩展</source>
        <translation>the display server lacks the Composite or Damage extension</translation>
    </message>
    <message>
        <source>无法重定向该窗口</source>
        <translation>the window cannot be redirected</translation>
    </message>
    <message>
        <source>系统资源不足</source>
        <translation>the system is out of resources</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>tessal: 识别失败：%1</source>
        <translation>tessal: recognition failed: %1</translation>
    </message>
    <message>
        <source>文件名中不能有换行符</source>
        <translation>A file name cannot contain a line break</translation>
    </message>
</context>
</TS>

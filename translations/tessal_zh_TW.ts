<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="zh_CN">
<context>
    <name>AlertPresenter</name>
    <message>
        <source>知道了</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AnnotationTextView</name>
    <message>
        <source>回车换行，%1 确认，Esc 取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AnnotationToolbar</name>
    <message>
        <source>%1 · %2 · 按住空格临时移动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>马赛克</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>涂抹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>框选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>马赛克模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>笔刷大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文字／编号字号（10–96）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文字／编号字号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>字号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已复制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>截图  %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原设置文件已损坏且无法移到一旁，已原样保留</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>快捷键 %1 注册失败，可能已被其他应用或系统占用。可从菜单栏设置其他快捷键，或点击截图。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>知道了</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>延时截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消延时截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重复上次区域</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置截图快捷键…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>截图偏好…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>截图历史…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开机启动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出Tessal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tessal截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tessal截图 · %1 秒后截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>按 %1 截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>运行 tessal capture 截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>；托盘图标里有更多功能。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tessal 正在运行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法保存设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置文件“%1”无法写入：%2。更改只在本次运行期间有效。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法注册 %1，请换一个组合键。原快捷键保持不变。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法重复上次区域</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法开始长截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>长截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>历史截图</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppRelease</name>
    <message>
        <source>无法解析服务器返回的更新信息。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>服务器返回了无效的响应。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新信息的格式不正确（%1）。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppServices</name>
    <message>
        <source>
请稍后通过“检查更新”重试。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>暂时无法安装更新</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新由安装本程序的软件包管理器提供</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>此版本未启用应用内更新</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在准备更新</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下载和校验完成后会提示重启安装。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新通道尚未上线</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前构建未启用更新检测，请从%1官网下载支持检查更新的新版本。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>暂时无法检查更新</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已是最新版本</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>需要更新系统</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新版本需要 glibc %1 或更新版本的系统。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新已就绪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先结束截图并关闭编辑窗口，再通过“检查更新”重启安装。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2 更新已就绪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1

重启后自动安装，偏好和截图历史会保留。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重启并更新</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稍后</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上次更新未完成</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法修改开机启动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先将%1安装到固定位置（例如 ~/.local/opt），再重试。也可以在桌面环境的“自动启动”设置中管理。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>知道了</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>更新应用的标识或版本不匹配。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新文件处理失败（%1）。原应用未被替换。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先将应用放到有写入权限的安装目录（例如 ~/.local/opt），再重试应用内更新。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新应用的芯片架构不匹配。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新应用签名校验失败，或与当前应用的签名身份不一致。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新包下载失败，请检查网络。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新包大小不匹配。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新包大小或 SHA-256 校验失败，已停止安装。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新包中未找到唯一匹配的应用。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CapturePreferencesWindow</name>
    <message>
        <source>Tessal · 截图偏好</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制后退出截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保留截图历史</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 张</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>历史仅存本机，容量上限 200 MB；关闭后停止记录，已有的历史保留，可在截图历史中删除或清空。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>语言</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下次启动 Tessal 时生效</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>截图后默认工具</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>历史数量上限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法整理截图历史</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>知道了</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChildRegionPermissionGuide</name>
    <message>
        <source>增强自动选区识别</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tessal已默认按图像边界识别卡片和面板。允许辅助功能后，还能补充应用的控件层级，识别更准确。

点击“去开启”，Tessal会为当前桌面会话打开辅助功能（AT-SPI），并打开桌面的辅助功能设置。随后回到要截图的窗口，再按 %1。

选择“先截图”也能使用图像自动选区和手动框选。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>去开启</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>先截图</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>图片太大（%1 × %2 像素），最多可读 %3 万像素</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不是可以识别的图片格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图片已损坏或不完整</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CopiedNote</name>
    <message>
        <source>已复制</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DefaultsStore</name>
    <message>
        <source>原设置文件已损坏且无法移到一旁，已原样保留</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入失败</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Editor</name>
    <message>
        <source>无法截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>另一个程序正占用键盘或鼠标，截图时将无法使用 Esc 和回车。请先关闭正在打开的菜单或拖动，再重新截图。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>知道了</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FakePlatform</name>
    <message>
        <source>无法读取窗口内容</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileErrors</name>
    <message>
        <source>文件夹不存在</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>路径中的“%1”不是文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>同名的文件夹已存在</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>磁盘是只读的</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有写入权限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有读取权限</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HttpTransfer</name>
    <message>
        <source>连接超时。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>找不到更新服务器。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法连接更新服务器。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法与更新服务器建立安全连接。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网络错误：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新包无法写入磁盘：%1。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeyCodes</name>
    <message>
        <source>Super</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeySheet</name>
    <message>
        <source>按键说明</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KeySheetModel</name>
    <message>
        <source>选择区域</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拖动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>框选区域</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单击</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选取高亮的窗口或区域</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>滚轮</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>在窗口与其中的区域间切换</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>空格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只选整个窗口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制指针处的颜色</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Esc / 右键</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选定之后</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>方向键</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>移动选区 1 像素，%1 10 像素</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>按住空格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拖动选区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>调整粗细或字号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>回车 / %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>贴图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>识别并复制文字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>撤销 / 重做</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除所选标注</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>右键</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重新选择</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工具</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示或隐藏本说明</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LastRegion</name>
    <message>
        <source>这组显示器上还没有截过图：先截一次图（复制、保存或贴图），之后就能重复它的区域。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上次的区域已不在任何一个显示器之内（显示器的排列或分辨率变了）。请重新框选。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LegacyApplicationNotice</name>
    <message>
        <source>建议移除旧版应用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检测到：%1。

请先退出旧版，再将旧应用移到回收站，之后只使用Tessal。只移除应用，不要清理其设置或应用支持文件；已有设置和截图历史会保留。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>、</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>在文件管理器中查看</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>稍后处理</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LongCaptureControlWindow</name>
    <message>
        <source>Tessal · 长截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>纵向</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>横向</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>长截图方向</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动滚动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动向下滚动；匹配异常或目标被遮挡时停止自动滚动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>慢速</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正常</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>快速</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动滚动速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止／开始 · 空格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>裁剪两端</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>回滚裁剪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>反向滚动会裁掉已拼接的末端；关闭后保留已有长图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编辑长图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>贴图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭 · Esc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制 · Enter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LongCaptureFeedback</name>
    <message>
        <source>已拼接。继续滚动，或直接复制、保存。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已按回滚位置裁剪，可继续滚动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已回到匹配位置，可继续滚动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>画面未变化；若已到底，可直接复制或保存。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>尚未匹配，已有内容已保留。请沿刚才滚动的反方向稍作回滚；预览红框表示匹配中断。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已达到长度上限，已有内容保留，可复制或保存。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LongCaptureMoveButton</name>
    <message>
        <source>拖动选区 · 采集中沿截图方向延伸</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LongCapturePreview</name>
    <message>
        <source>Tessal · 长截图预览</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LongCaptureRegionView</name>
    <message>
        <source>Tessal · 长截图选区</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LongCaptureTrimDialog</name>
    <message>
        <source>裁剪长图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拖动蓝线，或输入顶部、底部要去掉的像素。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拖动蓝线，或输入左端、右端要去掉的像素。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>顶部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>左端</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>底部</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>右端</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>应用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复完整长图</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LongFrameStream</name>
    <message>
        <source>无法转换滚动区域的视频帧，请重新选择区域。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LongScreenshot</name>
    <message>
        <source>正在准备画面，请稍候。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>还没有可导出的画面，请稍候。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>滚动原窗口，或点“自动滚动”。空格停止，Enter 复制，Esc 关闭。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已停止，点开始继续，或直接复制、保存。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>画面未变化，自动滚动已停止。可手动继续，或直接复制。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示器已断开，请重新选择区域。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请在一个窗口内部框选可滚动内容。 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目标窗口尚未准备好，请取消后重新选择。 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目标窗口已移动、缩放或关闭。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在连接滚动窗口…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>准备截取</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>滚动过快，部分中间帧未能保留。若未接上，请稍向回滚动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动滚动已停止。请沿刚才滚动的反方向稍作回滚，匹配恢复后可继续。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 已有内容保留，可复制、保存或编辑。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已停止，已有内容保留。点开始继续，或复制、保存、编辑。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>继续滚动原窗口，或开启自动滚动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动滚动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动滚动需要辅助功能授权；仍可在原窗口手动滚动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已切换手动滚动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止自动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动向上滚动中；空格停止，Enter 复制。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动向下滚动中；空格停止，Enter 复制。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动向左滚动中；空格停止，Enter 复制。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动向右滚动中；空格停止，Enter 复制。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已切换应用，自动滚动停止。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>目标区域被遮挡，自动滚动停止。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法向原窗口发送滚动，自动滚动停止；仍可手动滚动。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>等待开始</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>方向已切换，点开始截取。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选区已调整，点开始重新截取。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在沿截图方向延伸，已有内容保留。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在生成图片，完成后再关闭。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LongScreenshotExport</name>
    <message>
        <source>还没有可导出的画面，请稍候。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在准备画面，请稍候。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法创建贴图，已有内容保留。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>内存不足，无法生成图片。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存失败：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>裁剪值无效，已保留原图。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LongScreenshotResult</name>
    <message>
        <source>是否保存对截图所做的标注？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>如果不保存，新添加的标注将会丢失。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>继续编辑</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不保存</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OcrWorker</name>
    <message>
        <source>请求无效</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少识别字典</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法载入识别模型：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OverlayWindow</name>
    <message>
        <source>Tessal · 截图</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PinnedImage</name>
    <message>
        <source>Tessal · 贴图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>滚轮缩放 · 右键调透明度 · %1+滚轮调透明度 · 双击恢复大小 · Esc 关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>滚轮缩放 · 双击恢复大小 · Esc 关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭贴图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复原始大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>透明度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>透明度 · 需要窗口合成器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复不透明</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>桌面没有运行窗口合成器，窗口无法半透明显示</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PortalRequest</name>
    <message>
        <source>wlroots 桌面（sway、Hyprland 等）需要 xdg-desktop-portal-wlr，另加 xdg-desktop-portal-gtk（截图接口要靠它的授权后端）；GNOME 需要 xdg-desktop-portal-gnome；KDE 需要 xdg-desktop-portal-kde。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>桌面没有提供截图门户（xdg-desktop-portal 的 Screenshot 接口）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>桌面门户没有提供 %1 接口。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法连接会话总线，找不到桌面门户服务。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>找不到桌面门户服务（xdg-desktop-portal）。请安装它，以及与桌面相配的后端：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>桌面门户拒绝了请求：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>桌面门户没有在 %1 秒内回应。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QShortcut</name>
    <message>
        <source>Meta</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SaveDestination</name>
    <message>
        <source>截图-%1.png</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未设置图片文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图片文件夹“%1”不存在</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图片文件夹“%1”不是文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图片文件夹“%1”不可写入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1，已改为主文件夹。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SavePanel</name>
    <message>
        <source>保存截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件名：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScreenCapture</name>
    <message>
        <source>没有可截取的显示器</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScreenCaptureFailure</name>
    <message>
        <source>无法截取屏幕</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请在桌面的系统设置中允许Tessal截取屏幕。授权后如果仍无法截图，再退出并重新打开Tessal。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开系统设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>
请重新截图；若刚连接或断开显示器，请等待屏幕布局稳定。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>知道了</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Screencopy</name>
    <message>
        <source>与合成器的连接已断开。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成器没有交出屏幕画面。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成器没有在 %1 秒内交出屏幕画面。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScreenshotExport</name>
    <message>
        <source>无法保存截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法保存“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>知道了</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法复制截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>内存不足，无法生成 PNG 图片，剪贴板中没有放入内容。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScreenshotHistory</name>
    <message>
        <source>无法删除“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法创建历史文件夹“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法写入“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法设置“%1”的权限</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScreenshotHistoryWindow</name>
    <message>
        <source>Tessal · 截图历史</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>截图时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>截图预览</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开启记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>继续标注</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>贴图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空历史</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>历史记录失败：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n 张 · 正在记录</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 张 · 未开启记录，可在截图偏好中开启</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>图片无法预览</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法保存截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法保存“%1”：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>知道了</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法删除截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空截图历史？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除本机保存的历史记录，已另存的截图不受影响。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法清空截图历史</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SelectionSizeEditor</name>
    <message>
        <source>设置截图尺寸</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置截图尺寸 · 回车确定 · Esc 取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>宽</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>宽度像素</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>高</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>高度像素</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ShortcutDialog</name>
    <message>
        <source>设置截图快捷键</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请按下组合键，需包含 %1、%2 或 %3。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复默认 %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TextRecognitionWindow</name>
    <message>
        <source>Tessal · 识别文字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在识别…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>返回</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制文字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>识别失败：未安装文字识别组件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>识别失败：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>识别完成，可编辑后复制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未识别到文字</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TextRecognizer</name>
    <message>
        <source>已取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ToolbarModel</name>
    <message>
        <source>移动选区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择标注</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>矩形</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>箭头</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手绘</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>圆形</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>马赛克</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模糊</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>高亮</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>识别文字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>识别文字 · %1 快速复制文字</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>长截图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>长截图 · 选择滚动内容区域后缓慢向下滚动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>撤销</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>撤销 · %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重做</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>贴图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>贴图 · %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存 · %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭 · Esc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复制 · %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>红色</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>黄色</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>绿色</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>白色</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>黑色</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>细线</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中线</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>粗线</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>模糊强度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>低强度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中强度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>高强度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>颗粒大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>小颗粒</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中颗粒</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>大颗粒</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>笔刷大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>小号笔刷</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中号笔刷</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>大号笔刷</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateConfiguration</name>
    <message>
        <source>Tessal截图</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateInstaller</name>
    <message>
        <source>准备好的更新已不存在，请重新检查更新。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前构建缺少更新安装程序。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新文件处理失败（cp）。原应用未被替换。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法启动更新安装程序：%1。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新文件处理失败（tessal-update-helper）。原应用未被替换。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateMenuItems</name>
    <message>
        <source>自动下载更新</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检查更新…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新日志</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateSource</name>
    <message>
        <source>更新组件缺失（tessal-update-helper），请重新安装Tessal。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>更新文件处理失败（tessal-update-helper）。原应用未被替换。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateStatusPanel</name>
    <message>
        <source>正在下载%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下载并校验完成后，可重启安装。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WaylandHotKeys</name>
    <message>
        <source>此桌面不提供全局快捷键：请在桌面的键盘设置中为命令 tessal capture 绑定快捷键</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>截图</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WaylandPlatform</name>
    <message>
        <source>长截图暂时需要 X11 会话：Wayland 不允许读取其他窗口的内容。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WaylandScreenCapture</name>
    <message>
        <source>合成器交出的画面与显示器不符。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成器不提供 wlr-screencopy，无法直接截取屏幕。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>截图请求被取消。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>桌面门户拒绝了截图请求。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取桌面门户返回的截图。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>截图中没有这个显示器（显示器可能刚刚变化）。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WorkerTextRecognizer</name>
    <message>
        <source>未安装文字识别组件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法启动识别进程：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>识别进程没有回应</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>识别进程的回答无法读取</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>识别进程意外退出</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>X11ScreenCapture</name>
    <message>
        <source>无法读取屏幕内容</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>X11WindowStream</name>
    <message>
        <source>无法读取窗口内容：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>窗口已关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>与显示服务器的连接已断开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法连接显示服务器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示服务器缺少 Composite 或 Damage 扩展</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法重定向该窗口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统资源不足</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>tessal: 识别失败：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件名中不能有换行符</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

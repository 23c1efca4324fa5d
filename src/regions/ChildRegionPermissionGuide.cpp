#include "ChildRegionPermissionGuide.h"

#include "platform/AccessibilityService.h"
#include "platform/Workspace.h"

namespace tessal {

AlertSpec ChildRegionPermissionGuide::alert(const QString& shortcutLabel) {
    AlertSpec result;
    result.message = QStringLiteral("增强自动选区识别");
    result.informative =
        QStringLiteral(
            "Tessal已默认按图像边界识别卡片和面板。允许辅助功能后，还能补充应用的控"
            "件层级，识别更准确。") +
        QStringLiteral("\n\n") +
        QStringLiteral(
            "点击“去开启”，Tessal会为当前桌面会话打开辅助功能（AT-"
            "SPI），并打开桌面的辅助功能设置。随后回到要截图的窗口，再按 ") +
        shortcutLabel + QStringLiteral("。") + QStringLiteral("\n\n") +
        QStringLiteral("选择“先截图”也能使用图像自动选区和手动框选。");
    result.buttons = {QStringLiteral("去开启"), QStringLiteral("先截图")};
    return result;
}

void ChildRegionPermissionGuide::openSettings(AccessibilityService& accessibility,
                                              Workspace& workspace) {
    accessibility.requestTrust();
    workspace.openAccessibilitySettings();
}

}  // namespace tessal

#include "LongCaptureFeedback.h"

#include <QCoreApplication>

namespace tessal {

LongCaptureFeedback::Outcome LongCaptureFeedback::record(const ScrollAppendResult& result) {
    using Kind = ScrollAppendResult::Kind;
    switch (result.kind) {
        case Kind::appended:
            ++segments;
            unchanged = unmatched = 0;
            return {QCoreApplication::translate("LongCaptureFeedback",
                                                "已拼接。继续滚动，或直接复制、保存。"),
                    false};
        case Kind::cropped:
            unchanged = unmatched = 0;
            return {QCoreApplication::translate("LongCaptureFeedback",
                                                "已按回滚位置裁剪，可继续滚动。"),
                    false};
        case Kind::unchanged: {
            const bool recovered = unmatched >= 1;
            unmatched = 0;
            ++unchanged;
            if (recovered)
                return {QCoreApplication::translate("LongCaptureFeedback",
                                                    "已回到匹配位置，可继续滚动。"),
                        false};
            if (unchanged > 3)
                return {QCoreApplication::translate("LongCaptureFeedback",
                                                    "画面未变化；若已到底，可直接复制或保存。"),
                        false};
            return {};
        }
        case Kind::unmatched:
            unchanged = 0;
            ++unmatched;
            return {QCoreApplication::translate(
                        "LongCaptureFeedback",
                        "尚未匹配，已有内容已保留。请沿刚才滚动的反方向稍作回滚；"
                        "预览红框表示匹配中断。"),
                    false};
        case Kind::limit:
            return {QCoreApplication::translate("LongCaptureFeedback",
                                                "已达到长度上限，已有内容保留，可复制或保存。"),
                    true};
    }
    return {};
}

}  // namespace tessal

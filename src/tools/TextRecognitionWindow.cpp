#include "TextRecognitionWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "TextRecognition.h"
#include "base/MainQueue.h"
#include "platform/Pasteboard.h"
#include "platform/TextRecognizer.h"

namespace tessal {

TextRecognitionWindow::TextRecognitionWindow(const QImage& image, bool copyWhenReady,
                                             TextRecognitionEnvironment environment)
    : QWidget(nullptr, Qt::Window),
      environment_(std::move(environment)),
      copyWhenReady_(copyWhenReady) {
    setWindowTitle(QCoreApplication::translate("TextRecognitionWindow", "Tessal · 识别文字"));
    resize(620, 460);
    setMinimumSize(400, 280);
    status_ = new QLabel(QCoreApplication::translate("TextRecognitionWindow", "正在识别…"), this);
    text_ = new QPlainTextEdit(this);
    QFont font = text_->font();
    font.setPixelSize(16);
    text_->setFont(font);
    text_->document()->setDocumentMargin(8);
    back_ = new QPushButton(QCoreApplication::translate("TextRecognitionWindow", "返回"), this);
    copy_ = new QPushButton(QCoreApplication::translate("TextRecognitionWindow", "复制文字"), this);
    copy_->setEnabled(false);
    copy_->setDefault(true);
    QObject::connect(back_, &QPushButton::clicked, this, [this] { returnToEditor(); });
    QObject::connect(copy_, &QPushButton::clicked, this, [this] { copyText(); });
    text_->installEventFilter(this);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    start(image);
}

TextRecognitionWindow::~TextRecognitionWindow() {
    cancelRecognition();
}

void TextRecognitionWindow::cancelRecognition() {
    if (cancelled_->exchange(true)) return;
    if (environment_.recognizer) environment_.recognizer->cancel(cancelled_.get());
}

void TextRecognitionWindow::start(const QImage& image) {
    TextRecognizer* recognizer = environment_.recognizer;
    if (!recognizer || !environment_.worker) {
        status_->setText(
            QCoreApplication::translate("TextRecognitionWindow", "识别失败：未安装文字识别组件"));
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    MainQueue& mainQueue = environment_.mainQueue;
    auto cancelled = cancelled_;
    environment_.worker([this, alive, image, recognizer, cancelled, &mainQueue] {
        Result<QString> text = TextRecognition::recognize(image, *recognizer, cancelled.get());
        mainQueue.async([this, alive, cancelled, text = std::move(text)] {
            if (alive.expired() || *cancelled || closed_) return;
            if (!text) {
                status_->setText(
                    QCoreApplication::translate("TextRecognitionWindow", "识别失败：%1")
                        .arg(text.error().message));
                return;
            }
            text_->setPlainText(text.value());
            const bool found = !text.value().isEmpty();
            status_->setText(
                found
                    ? QCoreApplication::translate("TextRecognitionWindow", "识别完成，可编辑后复制")
                    : QCoreApplication::translate("TextRecognitionWindow", "未识别到文字"));
            copy_->setEnabled(found);
            if (copyWhenReady_ && found) copyText();
        });
    });
}

void TextRecognitionWindow::copyText() {
    if (closed_) return;
    if (!environment_.pasteboard.setText(text_->toPlainText())) return;
    if (auto copied = onCopied) copied();
    closeWindow();
}

void TextRecognitionWindow::closeWindow() {
    if (closed_) return;
    closed_ = true;
    cancelRecognition();
    hide();
    auto closing = std::move(onClose);
    onClose = nullptr;
    onCopied = nullptr;
    if (closing) closing();
}

void TextRecognitionWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    closeWindow();
}

void TextRecognitionWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        returnToEditor();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TextRecognitionWindow::resizeEvent(QResizeEvent* event) {
    const int w = width(), h = height();
    status_->setGeometry(16, 16, w - 32, 22);
    text_->setGeometry(16, 48, w - 32, h - 48 - 58);
    back_->setGeometry(16, h - 46, 80, 32);
    copy_->setGeometry(w - 16 - 114, h - 46, 114, 32);
    QWidget::resizeEvent(event);
}

bool TextRecognitionWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                 Qt::AltModifier | Qt::MetaModifier));
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && plain) {
            if (copy_->isEnabled()) copyText();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            returnToEditor();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- the registry ---------------------------------------------------------------------------

TextRecognitionWindows::TextRecognitionWindows(TextRecognitionEnvironment environment)
    : environment_(std::move(environment)) {}

TextRecognitionWindows::~TextRecognitionWindows() {
    for (auto& [id, window] : active_) window->onClose = nullptr;
}

void TextRecognitionWindows::cancelAll() {
    for (auto& [id, window] : active_) window->cancelRecognition();
}

TextRecognitionWindow* TextRecognitionWindows::any() const {
    return active_.empty() ? nullptr : active_.begin()->second.get();
}

bool TextRecognitionWindows::present(const QImage& image, bool copyWhenReady,
                                     std::function<void()> onCopied,
                                     std::function<void()> onClose) {
    if (image.isNull()) return false;
    auto window = std::make_unique<TextRecognitionWindow>(image, copyWhenReady, environment_);
    const QUuid id = QUuid::createUuid();
    std::weak_ptr<bool> alive = alive_;
    window->onCopied = std::move(onCopied);
    window->onClose = [this, alive, id, closed = std::move(onClose)] {
        if (closed) closed();
        environment_.mainQueue.async([this, alive, id] {
            if (!alive.expired()) active_.erase(id);
        });
    };
    TextRecognitionWindow* raw = window.get();
    active_[id] = std::move(window);
    if (!raw->closed()) {
        raw->show();
        raw->raise();
        raw->activateWindow();
    }
    return true;
}

}  // namespace tessal

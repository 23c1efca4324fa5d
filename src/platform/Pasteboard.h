#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <future>

namespace tessal {

// The clipboard. Each write replaces what was there with exactly one representation.
class Pasteboard {
  public:
    virtual ~Pasteboard() = default;
    virtual bool setPng(const QByteArray& png) = 0;
    // Claims the clipboard for one image/png whose bytes are still being made: a paste that
    // asks before they are ready waits for them. Returns the offer's number, 0 when refused.
    virtual std::uint64_t offerPng(std::shared_future<QByteArray> png) = 0;
    // Gives up an offer whose bytes could not be made, if the clipboard still holds it.
    virtual void withdrawPng(std::uint64_t offer) = 0;
    virtual bool setText(const QString& text) = 0;
};

}  // namespace tessal

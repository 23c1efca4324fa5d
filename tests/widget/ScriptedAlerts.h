#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "app/AlertPresenter.h"

namespace tessal {

// Records every alert and answers with the next scripted button (the first when none is left).
class ScriptedAlerts final : public AlertPresenter {
  public:
    std::vector<AlertSpec> shown;
    std::deque<int> answers;
    std::function<void()> whileShown;  // what happens while an alert waits for its answer
    int run(const AlertSpec& alert) override {
        shown.push_back(alert);
        if (whileShown) whileShown();
        if (answers.empty()) return 0;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace tessal

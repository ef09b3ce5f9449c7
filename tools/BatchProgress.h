#pragma once
// What a batch command shows while it runs: on a terminal one progress bar
// redrawn in place, with each failure printed above it as it happens;
// otherwise one plain line per finished item, for logs and pipes.
#include <cstdio>
#include <string>
#include <vector>

struct BatchFailure {
    std::string item;
    std::string reason;
};

class BatchProgress {
public:
    // doneWord names a finished item in the plain lines ("converted").
    BatchProgress(std::FILE* out, size_t total, std::string doneWord);

    void Started(const std::string& item);
    void Finished(const std::string& item, bool succeeded, const std::string& reason);
    // Takes the bar off the screen before the summary.
    void End();

    size_t Succeeded() const;
    std::vector<BatchFailure> Failures() const;  // in the order they happened

private:
    void DrawBar();
    std::string Bar(size_t width) const;

    std::FILE* m_out;
    const size_t m_total;
    const std::string m_doneWord;
    const bool m_terminal;
    size_t m_finished = 0;
    std::string m_current;
    std::vector<BatchFailure> m_failures;
};

#pragma once

#include "app/IFileProgress.h"

#include <QCoreApplication>

#include <cstdint>
#include <functional>

class QProgressDialog;

// Reads and writes files bigger than a threshold on a thread of their own
// while a modal progress window with Cancel shows and the windows keep
// painting; smaller files are read and written right away, as before.
class CFileProgress final : public IFileProgress
{
    Q_DECLARE_TR_FUNCTIONS(CFileProgress)

public:
    static constexpr std::uint64_t kDefaultThreshold = 20u * 1024u * 1024u;

    void Run(Kind kind, const std::string& path, std::uint64_t bytes,
             const std::function<void(const Step&)>& work) override;

    std::uint64_t Threshold() const { return m_threshold; }
    void SetThreshold(std::uint64_t bytes) { m_threshold = bytes; }
    // Called with each progress window as it shows, before the work starts.
    void SetShownHook(std::function<void(QProgressDialog&)> hook) { m_shown = std::move(hook); }

    // Whether a file is being read or written under a progress window: what
    // would change documents (reloads) waits until it is over.
    static bool Busy() { return s_running > 0; }

private:
    std::uint64_t m_threshold = kDefaultThreshold;
    std::function<void(QProgressDialog&)> m_shown;
    static inline int s_running = 0;
};

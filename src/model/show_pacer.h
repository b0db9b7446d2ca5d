#pragma once
// When a folder's show stops to handle the program's messages: never before it has run
// for `pumpAfterMs` (a small folder shows without handling any), then at most once every
// kPumpEveryMs, so the window answers often while each stop costs little. Times are
// millisecond ticks that may wrap.

#include <cstdint>

class ShowPacer {
public:
    static constexpr uint32_t kPumpEveryMs = 100;

    ShowPacer(uint32_t startTick, uint32_t pumpAfterMs)
        : m_startTick(startTick), m_pumpAfterMs(pumpAfterMs) {}

    // How long the show may still wait without handling messages.
    uint32_t MsBeforePumping(uint32_t nowTick) const {
        const uint32_t elapsed = nowTick - m_startTick;
        return elapsed >= m_pumpAfterMs ? 0 : m_pumpAfterMs - elapsed;
    }
    // Whether to handle messages now; a yes counts as having handled them.
    bool PumpDue(uint32_t nowTick) {
        if (m_bStopped || MsBeforePumping(nowTick) > 0)
            return false;
        if (m_bPumped && nowTick - m_lastPumpTick < kPumpEveryMs)
            return false;
        Pumped(nowTick);
        return true;
    }
    void Pumped(uint32_t nowTick) {
        m_bPumped = true;
        m_lastPumpTick = nowTick;
    }
    // No more message handling for this show (the program is ending).
    void Stop() { m_bStopped = true; }
    bool IsStopped() const { return m_bStopped; }

private:
    uint32_t m_startTick;
    uint32_t m_pumpAfterMs;
    uint32_t m_lastPumpTick = 0;
    bool m_bPumped = false;
    bool m_bStopped = false;
};

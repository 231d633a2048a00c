#pragma once

#include "engine/SECEdit.h"

// Records the edits made during its lifetime as one undo step, unless a group
// is already open, in which case that outer group keeps them.
class SECEditGroupGuard
{
public:
    explicit SECEditGroupGuard(SECEdit& engine) : m_engine(engine), m_began(!engine.IsCompositeMode())
    {
        if (m_began)
            m_engine.SetCompositeMode(true);
    }
    ~SECEditGroupGuard()
    {
        if (m_began)
            m_engine.SetCompositeMode(false);
    }
    SECEditGroupGuard(const SECEditGroupGuard&) = delete;
    SECEditGroupGuard& operator=(const SECEditGroupGuard&) = delete;

private:
    SECEdit& m_engine;
    bool m_began;
};

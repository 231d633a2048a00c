#pragma once

#include "platform/IBusyCursor.h"

// The wait cursor over the whole application; nested Begin/End pairs stack.
class QtBusyCursor final : public IBusyCursor
{
public:
    void Begin() override;
    void End() override;

private:
    int m_depth = 0;
};

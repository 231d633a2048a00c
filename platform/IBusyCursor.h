#pragma once

// Shows the busy cursor while a long operation (loading, saving) runs.
class IBusyCursor
{
public:
    virtual void Begin() = 0;
    virtual void End() = 0;

protected:
    ~IBusyCursor() = default;
};

// Scoped use of an IBusyCursor; a null cursor is allowed.
class BusyCursorScope
{
public:
    explicit BusyCursorScope(IBusyCursor* cursor) : m_cursor(cursor)
    {
        if (m_cursor)
            m_cursor->Begin();
    }
    ~BusyCursorScope()
    {
        if (m_cursor)
            m_cursor->End();
    }
    BusyCursorScope(const BusyCursorScope&) = delete;
    BusyCursorScope& operator=(const BusyCursorScope&) = delete;

private:
    IBusyCursor* m_cursor;
};

#include "engine/SECEditObserverList.h"

#include "engine/IObserver.h"

#include <algorithm>

void SECEditObserverList::Add(IObserver* observer)
{
    if (observer)
        m_observers.push_back(observer);
}

void SECEditObserverList::Remove(IObserver* observer)
{
    if (!observer)
        return;
    if (m_delivering > 0)
    {
        std::replace(m_observers.begin(), m_observers.end(), observer, static_cast<IObserver*>(nullptr));
        m_removed = true;
        return;
    }
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void SECEditObserverList::Deliver(ISubject* subject, IObserver* sender, IMessage* message)
{
    ++m_delivering;
    const std::size_t count = m_observers.size();
    for (std::size_t i = 0; i < count; ++i)
    {
        IObserver* observer = m_observers[i];
        if (observer && observer != sender)
            observer->OnUpdate(subject, message);
    }
    if (--m_delivering == 0 && m_removed)
    {
        m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), nullptr), m_observers.end());
        m_removed = false;
    }
}

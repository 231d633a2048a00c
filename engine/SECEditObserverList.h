#pragma once

#include <cstddef>
#include <vector>

class IObserver;
class IMessage;
class ISubject;

// The observers of a subject, in the order they attached. An observer may
// detach itself or another one while being told of a change: its entry is
// blanked and the list compacted once the outermost delivery is over.
class SECEditObserverList
{
public:
    // A null observer is ignored.
    void Add(IObserver* observer);
    // Removes every occurrence.
    void Remove(IObserver* observer);
    // Tells every observer but `sender`, as `subject`. One attached during the
    // delivery hears from the next one on.
    void Deliver(ISubject* subject, IObserver* sender, IMessage* message);

private:
    std::vector<IObserver*> m_observers;
    int m_delivering = 0;
    bool m_removed = false;
};

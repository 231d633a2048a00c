#pragma once

class IObserver;
class IMessage;

// Something observers attach to: the text engine and the language configuration.
class ISubject
{
public:
    virtual void AddObserver(IObserver* observer) = 0;
    virtual void RemoveObserver(IObserver* observer) = 0;
    virtual void UpdateAllObservers(IObserver* sender, IMessage* message) = 0;

protected:
    ~ISubject() = default;
};

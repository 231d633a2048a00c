#pragma once

class ISubject;
class IMessage;

// Receives the notifications of the subjects it is attached to. A null
// message means that everything is to be refreshed.
class IObserver
{
public:
    virtual void OnUpdate(ISubject* subject, IMessage* message) = 0;

protected:
    ~IObserver() = default;
};

#pragma once

// Shared engine objects (notifications, configurations, loaders) count their
// references and delete themselves when the last one is released.
class IRefCount
{
public:
    virtual unsigned long AddRef() = 0;
    virtual unsigned long Release() = 0;

protected:
    ~IRefCount() = default;
};

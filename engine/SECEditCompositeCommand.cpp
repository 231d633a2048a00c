#include "engine/SECEditCompositeCommand.h"

#include "engine/IObserver.h"

#include <algorithm>

SECEditCompositeCommand::SECEditCompositeCommand() noexcept : SECEditCommandBase(CompositeCommand) {}

SECEditCompositeCommand::~SECEditCompositeCommand()
{
    for (SECEditCommandBase* command : m_commands)
        command->Release();
}

void SECEditCompositeCommand::Sprint(std::u16string& out) const
{
    out = u"SECEditCompositeCommand";
}

// On a failure the members already carried out are taken back (and the other
// way round), so that a group either runs whole or leaves the text as it was.
bool SECEditCompositeCommand::Do()
{
    for (std::size_t i = 0; i < m_commands.size(); ++i)
    {
        if (m_commands[i]->Do())
            continue;
        while (i-- > 0)
            m_commands[i]->UndoCommand();
        return false;
    }
    return true;
}

bool SECEditCompositeCommand::UndoCommand()
{
    for (std::size_t i = m_commands.size(); i-- > 0;)
    {
        if (m_commands[i]->UndoCommand())
            continue;
        while (++i < m_commands.size())
            m_commands[i]->Do();
        return false;
    }
    return true;
}

int SECEditCompositeCommand::GetCommandCount() const
{
    return static_cast<int>(m_commands.size());
}

bool SECEditCompositeCommand::AllSucceeded() const
{
    return std::all_of(m_commands.begin(), m_commands.end(),
                       [](const SECEditCommandBase* command) { return command->CanUndo(); });
}

void SECEditCompositeCommand::DeliverCommands(IObserver* observer, ISubject* subject)
{
    if (!observer)
        return;
    for (SECEditCommandBase* command : m_commands)
        observer->OnUpdate(subject, command);
}

bool SECEditCompositeCommand::AddCommand(SECEditCommandBase* command)
{
    if (!CanAddCommand(command))
        return false;
    m_commands.push_back(command);
    m_members.insert(command);
    if (command->GetMessageId() == CompositeCommand)
        m_nested.push_back(static_cast<const SECEditCompositeCommand*>(command));
    return true;
}

bool SECEditCompositeCommand::CanAddCommand(const SECEditCommandBase* command) const
{
    if (!command || command == this || m_members.count(command) != 0)
        return false;
    for (const SECEditCompositeCommand* nested : m_nested)
        if (!nested->CanAddCommand(command))
            return false;
    return true;
}

SECEditCommandBase* SECEditCompositeCommand::GetCommand(int index) const
{
    if (index < 0 || index >= GetCommandCount())
        return nullptr;
    return m_commands[static_cast<std::size_t>(index)];
}

SECEditCompositeCommand* SECEditCompositeCommand::FromMessage(IMessage* message) noexcept
{
    if (!message || message->GetMessageId() != CompositeCommand)
        return nullptr;
    return dynamic_cast<SECEditCompositeCommand*>(message);
}

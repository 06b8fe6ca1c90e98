#include "app/App.h"

#include "platform/Prompter.h"
#include "store/Store.h"

App::App(Services services, std::string dataFolder)
    : m_services(services)
    , m_dataFolder(std::move(dataFolder))
{
}

App::~App() = default;

void App::show(const StoreMessages& messages)
{
    for (const StoreMessage& m : messages) {
        const auto style = m.style == StoreMessage::Style::Critical ? Prompter::Critical
                                                                   : Prompter::Exclamation;
        m_services.prompter.message(QString::fromLocal8Bit(m.title),
                                    QString::fromLocal8Bit(m.text), style);
    }
}

bool App::Main()
{
    show(ReadCfg(m_set, m_dataFolder));
    if (m_set.Tbrs.empty())
        return false; // wrong version, no toolbar line or unreadable: nothing to bring up

    for (int i = 0; i <= m_set.TbrLast; ++i)
        show(ReadBtns(m_set.Tbrs[i]));
    return true;
}

void App::Terminate()
{
    if (m_ended)
        return;
    m_ended = true;
    // From here on every step is tried whatever happened before it.
    try {
        show(WriteCfg(m_set, m_dataFolder));
    } catch (...) {
    }
    emit terminated();
}

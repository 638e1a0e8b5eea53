#include "activityregistry.h"

#include <algorithm>

ActivityRegistry::ActivityRegistry(QObject *parent)
    : QObject(parent)
{}

void ActivityRegistry::watch(QObject *owner)
{
    // Unique connection: one owner may register several entries.
    connect(owner, &QObject::destroyed, this, &ActivityRegistry::forget, Qt::UniqueConnection);
}

void ActivityRegistry::forget(QObject *owner)
{
    auto byOwner = [owner](const auto &entry) { return entry.owner == owner; };
    m_flags.erase(std::remove_if(m_flags.begin(), m_flags.end(), byOwner), m_flags.end());
    m_updates.erase(std::remove_if(m_updates.begin(), m_updates.end(), byOwner), m_updates.end());
    m_shutdown.erase(std::remove_if(m_shutdown.begin(), m_shutdown.end(), byOwner),
                     m_shutdown.end());
    m_stops.erase(std::remove_if(m_stops.begin(), m_stops.end(), byOwner), m_stops.end());
}

void ActivityRegistry::registerActivity(Activity activity, QObject *owner, Flag isRunning)
{
    Q_ASSERT(owner && isRunning);
    m_flags.append({activity, owner, std::move(isRunning)});
    watch(owner);
}

void ActivityRegistry::registerControlUpdate(QObject *owner, Action update)
{
    Q_ASSERT(owner && update);
    m_updates.append({0, owner, std::move(update)});
    watch(owner);
}

void ActivityRegistry::registerShutdownStep(ShutdownStep step, QObject *owner, Action action)
{
    Q_ASSERT(owner && action);
    m_shutdown.append({static_cast<int>(step), owner, std::move(action)});
    watch(owner);
}

void ActivityRegistry::registerStop(Activity activity, QObject *owner, Action stop)
{
    Q_ASSERT(owner && stop);
    m_stops.append({static_cast<int>(activity), owner, std::move(stop)});
    watch(owner);
}

bool ActivityRegistry::isRunning(Activity activity) const
{
    return std::any_of(m_flags.cbegin(), m_flags.cend(), [activity](const FlagEntry &entry) {
        return entry.activity == activity && entry.isRunning();
    });
}

bool ActivityRegistry::isIdle() const
{
    return std::none_of(m_flags.cbegin(), m_flags.cend(),
                        [](const FlagEntry &entry) { return entry.isRunning(); });
}

bool ActivityRegistry::isOtherRunning(Activity except) const
{
    return std::any_of(m_flags.cbegin(), m_flags.cend(), [except](const FlagEntry &entry) {
        return entry.activity != except && entry.isRunning();
    });
}

void ActivityRegistry::updateControls() const
{
    // A refresh may register or drop entries; iterate over a copy.
    const QVector<ActionEntry> updates = m_updates;
    for (const ActionEntry &entry : updates)
        entry.action();
}

void ActivityRegistry::stop(Activity activity) const
{
    const QVector<ActionEntry> stops = m_stops;
    for (const ActionEntry &entry : stops) {
        if (entry.key == static_cast<int>(activity))
            entry.action();
    }
}

void ActivityRegistry::stopAll() const
{
    const QVector<ActionEntry> stops = m_stops;
    for (const ActionEntry &entry : stops)
        entry.action();
}

void ActivityRegistry::runShutdown()
{
    if (m_shutdownDone)
        return;
    m_shutdownDone = true;
    QVector<ActionEntry> steps = m_shutdown;
    std::stable_sort(steps.begin(), steps.end(),
                     [](const ActionEntry &a, const ActionEntry &b) { return a.key < b.key; });
    for (const ActionEntry &entry : steps)
        entry.action();
}

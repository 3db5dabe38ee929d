#include "alarm.h"

#include <QDir>
#include <QLocale>

using Type = AlarmEvent::Type;

Alarm::Alarm(Recorder::Clock clock, std::unique_ptr<DesktopNotifier> notifier,
             std::unique_ptr<AlarmSound> sound, QObject *parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_notifier(std::move(notifier))
    , m_sound(std::move(sound))
{
    connect(m_notifier.get(), &DesktopNotifier::acknowledged, this, &Alarm::acknowledge);
    connect(m_notifier.get(), &DesktopNotifier::unavailable, this, [this](const QString &reason) {
        emit problem(tr("Les alarmes ne peuvent pas être notifiées sur le bureau : %1.\nElles "
                        "sont signalées dans la fenêtre.")
                         .arg(reason));
    });
}

void Alarm::setLimits(const AlarmLimits &limits, const SensorScale &scale)
{
    if (m_watch.interrupt())
        record({Type::Interrupted, m_clock.now(), {}, {}});
    m_scale = scale;
    m_watch.setLimits(limits, scale);
    emit changed();
}

void Alarm::setJournal(const QString &recordingFile)
{
    const QString journal = AlarmJournal::pathFor(recordingFile);
    if (journal == m_journal)
        return;
    if (m_watch.interrupt())
        record({Type::Interrupted, m_clock.now(), {}, {}});
    const bool starting = m_journal.isEmpty();
    m_journal = journal;
    m_events = AlarmJournal::read(m_journal);
    m_periods = AlarmJournal::periods(m_events);
    emit periodsChanged();
    if (starting) {
        if (const auto waiting = AlarmJournal::unacknowledged(m_events)) {
            m_watch.restoreLatched(*waiting);
            m_watch.interrupt();
        }
        if (AlarmJournal::lasts(m_events))
            record({Type::Interrupted, m_clock.now(), {}, {}});
        tellDesktop();
    }
    emit changed();
}

void Alarm::record(const AlarmEvent &event)
{
    QString reason;
    if (AlarmJournal::append(m_journal, event, m_scale, QLocale(), &reason)) {
        m_unwritable.clear();
    } else if (m_unwritable != m_journal) {
        m_unwritable = m_journal;
        emit problem(tr("Le journal d'alarme « %1 » ne peut pas être écrit :\n%2\nL'alarme reste "
                        "signalée dans la fenêtre.")
                         .arg(QDir::toNativeSeparators(m_journal), reason));
    }
    m_events.push_back(event);
    m_periods = AlarmJournal::periods(m_events);
    emit periodsChanged();
}

void Alarm::check(std::optional<double> recorded)
{
    const qint64 ms = m_clock.monotonicMs();
    const std::optional<double> units
        = recorded ? std::optional(m_scale.toUnits(*recorded)) : std::nullopt;
    if (units)
        m_value = units;
    // Whole seconds, as the samples are stamped.
    QDateTime now = m_clock.now();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    const std::vector<AlarmEvent> events = m_watch.check(ms, now, units);
    for (const AlarmEvent &event : events)
        record(event);
    if (!events.empty()) {
        if (events.back().raises())
            m_soundedAt.reset(); // a new alarm sounds at once
        tellDesktop();
    }
    if (m_watch.latched() && m_watch.limits().sound
        && (!m_soundedAt || ms - *m_soundedAt >= SoundEveryMs) && m_sound->play())
        m_soundedAt = ms;
}

void Alarm::acknowledge()
{
    if (const auto event = m_watch.acknowledge(m_clock.now())) {
        record(*event);
        m_soundedAt.reset();
        tellDesktop();
        emit changed();
    }
}

void Alarm::stop()
{
    if (m_watch.interrupt())
        record({Type::Interrupted, m_clock.now(), {}, {}});
    m_notifier->close();
}

void Alarm::restart()
{
    if (m_watch.interrupt())
        record({Type::Interrupted, m_clock.now(), {}, {}});
    emit changed();
}

void Alarm::tellDesktop()
{
    if (!m_watch.latched()) {
        m_notifier->close();
        return;
    }
    const Type type = m_watch.latched()->type;
    m_notifier->show(tr("Ondaris : %1").arg(AlarmJournal::eventText(type).toLower()), text(), true);
}

QString Alarm::when(const QDateTime &at) const
{
    const QString time = at.time().toString(QStringLiteral("HH:mm:ss"));
    if (at.date() == m_clock.now().date())
        return time;
    return at.date().toString(QStringLiteral("dd/MM/yyyy ")) + time;
}

QString Alarm::text() const
{
    const QLocale locale;
    const auto units = [&](const std::optional<double> &value) -> QString {
        return value ? m_scale.unitsText(*value, locale) : QStringLiteral("?");
    };
    const auto comparison
        = [&](const AlarmEvent &event, const std::optional<double> &value) -> QString {
        return units(value) + (event.type == Type::High ? u" > " : u" < ") + units(event.limit);
    };
    if (const std::optional<AlarmEvent> active = m_watch.active()) {
        if (active->type == Type::Silent)
            return tr("ALARME : capteur muet depuis %1").arg(when(active->at));
        const QString side = active->type == Type::High ? tr("haute") : tr("basse");
        const bool beyond = m_value
            && (active->type == Type::High ? *m_value > *active->limit : *m_value < *active->limit);
        if (beyond)
            return tr("ALARME %1 : %2 depuis %3")
                .arg(side, comparison(*active, m_value), when(active->at));
        // Back inside the limit, not yet by the hysteresis.
        return tr("ALARME %1 depuis %2 (%3) ; %4 maintenant, pas encore revenue à la normale")
            .arg(side, when(active->at), comparison(*active, active->value), units(m_value));
    }
    const std::optional<AlarmEvent> &latched = m_watch.latched();
    if (!latched)
        return {};
    const QString ended = m_watch.latchedEnded() ? when(*m_watch.latchedEnded()) : QString();
    if (latched->type == Type::Silent)
        return ended.isEmpty()
            ? tr("ALARME : capteur muet à %1").arg(when(latched->at))
            : tr("ALARME : capteur muet à %1, revenu à %2").arg(when(latched->at), ended);
    const QString raised = tr("ALARME %1 à %2 (%3)")
                               .arg(latched->type == Type::High ? tr("haute") : tr("basse"),
                                    when(latched->at), comparison(*latched, latched->value));
    return ended.isEmpty() ? raised : tr("%1, revenue à la normale à %2").arg(raised, ended);
}

Alarm::Look Alarm::look() const
{
    Look look;
    look.text = text();
    look.shown = !look.text.isEmpty();
    look.acknowledgeable = m_watch.latched().has_value();
    look.alarmColours = look.shown;
    look.lit = !look.acknowledgeable || (m_clock.monotonicMs() / 500) % 2 == 0;
    return look;
}

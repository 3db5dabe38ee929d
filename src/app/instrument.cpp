#include "instrument.h"

#include "acquisition/hidtransport.h"
#include "recording/recordingfile.h"
#include "recording/recordingscales.h"
#include "recording/sampletext.h"
#include "recording/spreadsheetfile.h"
#include "recording/workbookfile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <algorithm>

Instrument::Instrument(Services services, QObject *parent)
    : QObject(parent)
    , m_clock(std::move(services.clock))
    , m_settings(ConfigFile(services.configPath, services.configFallback))
    , m_acquisition(std::move(services.serialPorts), std::move(services.hidTransport),
                    std::move(services.serialClock))
    , m_recorder(
          m_samples, [this] { return m_acquisition.sampleValue(); }, m_clock)
    , m_note(QFileInfo(services.configPath).dir().filePath(QStringLiteral("ondaris.reprise")))
    , m_extra(QFileInfo(services.configPath)
                  .dir()
                  .filePath(QString::fromLatin1(ExtraSettings::FileName)))
    , m_alarm(
          m_clock, std::make_unique<DesktopNotifier>(services.notificationBus()),
          std::make_unique<AlarmSound>(std::move(services.soundPlayer), std::move(services.bell)))
{
    const auto warn = [this](const QString &message) {
        emit told(message, true);
    };
    connect(&m_acquisition, &Acquisition::deviceProblem, this, warn);
    connect(&m_settings, &SettingsModel::writeFailed, this, warn);
    connect(&m_recorder, &Recorder::stoppedOnProblem, this, warn);
    connect(&m_alarm, &Alarm::problem, this, warn);
    // The alarm is checked before the refresh is shown.
    connect(&m_acquisition, &Acquisition::refreshed, this,
            [this] { m_alarm.check(m_acquisition.sampleValue()); });
    connect(&m_alarm, &Alarm::periodsChanged, this, &Instrument::markRecordingAlarms);
    connect(&m_acquisition, &Acquisition::refreshed, this, &Instrument::refreshed);
    connect(&m_recorder, &Recorder::recordingChanged, this, &Instrument::recordingChanged);
    connect(&m_acquisition, &Acquisition::refreshed, &m_recorder, &Recorder::readingRefreshed);
    // However a recording stops, it is not to be taken up again.
    connect(&m_recorder, &Recorder::recordingChanged, this, [this](bool recording) {
        if (!recording)
            m_note.remove();
    });
    // Noted before it is on disk: a file without that line is never taken for this recording.
    connect(&m_recorder, &Recorder::firstLineWriting, this, [this](const QByteArray &line) {
        m_running.first = line;
        m_note.write(m_running, nullptr);
        keepScale(line);
    });
    // Reached by tests that drive their timers.
    m_acquisition.setParent(this);
    m_recorder.setParent(this);
    m_alarm.setParent(this);
}

void Instrument::start()
{
    const bool existed = m_settings.configFile().exists();
    m_settings.load();
    const Settings &stored = m_settings.settings();
    chooseDuration(stored.duree_option, false);
    m_extra.load();
    m_scale = m_extra.scale();
    m_acquisition.setScale(m_scale);
    m_alarm.setLimits(m_extra.alarm(), m_scale);
    m_alarm.setJournal(stored.fichier_donnees);
    // The stored source is opened: one attempt, one message at most.
    if (existed)
        m_acquisition.openStored(SampleSource(stored.source));
    m_acquisition.startRefresh();
    findInterrupted();
}

void Instrument::findInterrupted()
{
    const std::optional<RecordingNote::Note> note = m_note.read();
    if (!note) {
        m_note.remove(); // not a note this program wrote: nothing to tell
        return;
    }
    RecordingNote::Recovered recovered = RecordingNote::recover(*note);
    using State = RecordingNote::Recovered::State;
    const bool current = note->file == m_settings.settings().fichier_donnees;
    if (current && recovered.state == State::Resumable) {
        m_interrupted = Interrupted {*note, std::move(recovered)};
        return;
    }
    m_note.remove();
    QString why = tr("ce fichier ne se termine plus par les mesures de cet enregistrement (vidé, "
                     "remplacé ou modifié depuis).");
    if (!current)
        why = tr("les réglages nomment maintenant un autre fichier d'enregistrement.");
    else if (recovered.state == State::Gone)
        why = tr("ce fichier n'existe plus (supprimé, déplacé ou renommé).");
    emit told(tr("L'enregistrement interrompu dans « %1 » ne peut pas être repris : %2")
                  .arg(QDir::toNativeSeparators(note->file), why),
              true);
}

std::optional<QString> Instrument::resumeQuestion() const
{
    if (!m_interrupted)
        return std::nullopt;
    const QList<Sample> &samples = m_interrupted->recovered.samples;
    const QString file = QDir::toNativeSeparators(m_interrupted->note.file);
    const QString last = samples.isEmpty()
        ? tr("Il n'a pris encore aucune mesure.")
        : tr("Dernière mesure : N° %1, le %2 à %3 (%4 dans cet enregistrement).")
              .arg(samples.size())
              .arg(frenchDate(samples.last().date), SampleText::time(samples.last().time),
                   samples.size() == 1 ? tr("1 mesure") : tr("%1 mesures").arg(samples.size()));
    return tr("Un enregistrement a été interrompu (arrêt de l'ordinateur ou du "
              "programme).\n\nFichier : %1\n%2\n\nReprendre l'enregistrement ?")
        .arg(file, last);
}

void Instrument::answerResume(bool yes)
{
    if (!m_interrupted || m_loading || m_recorder.isRecording())
        return;
    const Interrupted interrupted = *std::exchange(m_interrupted, std::nullopt);
    if (!yes) {
        m_note.remove();
        return;
    }
    // A line the interruption left half written is cut off, so that the next one starts whole.
    QFile file(interrupted.note.file);
    if (file.exists() && file.size() > interrupted.recovered.end
        && !file.resize(interrupted.recovered.end)) {
        m_note.remove();
        emit told(tr("L'enregistrement interrompu dans « %1 » ne peut pas être repris :\n%2")
                      .arg(QDir::toNativeSeparators(interrupted.note.file), file.errorString()),
                  true);
        return;
    }
    m_samples.startReading(std::nullopt);
    for (const Sample &sample : interrupted.recovered.samples)
        m_samples.add(sample);
    m_samples.setScaleFrom(1, m_scale); // the whole recording, on the scale it goes on with
    m_samples.setAlarmPeriods(m_alarm.periods());
    m_samples.readComplete();
    m_shownFile.clear();
    m_running = interrupted.note;
    if (!m_running.first.isEmpty())
        keepScale(m_running.first);
    m_recorder.resume(plan());
}

void Instrument::shutDown()
{
    m_alarm.stop();
    m_recorder.stop();
    m_acquisition.close();
}

Recorder::Plan Instrument::plan() const
{
    return {m_settings.intervalMs(), m_settings.diviseur_tick(),
            m_settings.settings().fichier_donnees};
}

bool Instrument::chartShown() const
{
    return m_settings.settings().largeur_fenetre > Settings::NarrowWidth;
}

void Instrument::toggleChart()
{
    if (chartShown()) {
        m_extra.setChartWidth(windowWidth());
        m_extra.save(nullptr);
        m_settings.setLargeur_fenetre(Settings::NarrowWidth);
    } else {
        const int kept = m_extra.chartWidth();
        m_settings.setLargeur_fenetre(
            qint16(kept >= Settings::WideWidth && kept <= 32767 ? kept : Settings::WideWidth));
    }
    m_settings.save();
}

int Instrument::windowWidth() const
{
    const int width = m_settings.settings().largeur_fenetre;
    return width <= Settings::NarrowWidth ? Settings::NarrowWidth
                                          : std::max(width, int(Settings::WideWidth));
}

void Instrument::keepWindowSize(int width, int height)
{
    if (chartShown() && width != m_settings.settings().largeur_fenetre) {
        m_settings.setLargeur_fenetre(qint16(std::clamp(width, int(Settings::WideWidth), 32767)));
        m_settings.save();
    }
    if (height != m_extra.windowHeight()) {
        m_extra.setWindowHeight(height);
        m_extra.save(nullptr);
    }
}

void Instrument::setTimeAxis(bool on)
{
    m_extra.setTimeAxis(on);
    m_extra.save(nullptr);
}

QString Instrument::clockText() const
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return QLocale::system().toString(m_clock.now().time(), format.trimmed());
}

QString Instrument::frenchDate(QDate date)
{
    const QLocale french(QLocale::French, QLocale::France);
    return date.day() == 1 ? french.toString(date, QStringLiteral("d'er' MMMM yyyy"))
                           : french.toString(date, QStringLiteral("d MMMM yyyy"));
}

QString Instrument::title() const
{
    return (chartShown() ? QStringLiteral("Ondaris                     Fichier en cours : ")
                         : QStringLiteral("Ondaris : "))
        + m_settings.settings().fichier_donnees;
}

void Instrument::chooseDuration(int index, bool save)
{
    m_settings.setDuree_option(index);
    if (save)
        m_settings.save();
}

void Instrument::chooseSource(int index, bool save)
{
    if (SampleSource(index) != SampleSource(m_settings.settings().source))
        m_alarm.restart();
    m_acquisition.setSource(SampleSource(index));
    m_settings.setSource(index);
    if (save)
        m_settings.save();
}

QString Instrument::refusal(const QString &path)
{
    if (const QString unkept = ConfigFile::refusal(path); !unkept.isEmpty())
        return unkept;
    const QFileInfo file(path);
    if (!file.absoluteDir().exists())
        return tr("Le dossier « %1 » n'existe pas.\nChoisissez un dossier existant.")
            .arg(QDir::toNativeSeparators(file.absolutePath()));
    return {};
}

void Instrument::newRecordingFile(const QString &path)
{
    if (path.isEmpty())
        return;
    if (const QString reason = refusal(path); !reason.isEmpty()) {
        emit told(reason, true); // never a name the settings file could not give back
        return;
    }
    // A file that cannot be made is met again, and told, when the recording writes to it.
    RecordingFile::create(path, nullptr);
    m_settings.setFichier_donnees(path);
    m_settings.save();
    m_alarm.setJournal(path);
}

void Instrument::toggleRecording()
{
    if (m_loading)
        return;
    if (m_recorder.isRecording()) {
        m_recorder.stop();
        return;
    }
    m_acquisition.resetTest();
    m_shownFile.clear();
    m_interrupted.reset(); // a new recording: the interrupted one is not asked about any more
    const QString file = m_settings.settings().fichier_donnees;
    m_running = {file, QFileInfo(file).size(), {}};
    m_note.write(m_running, nullptr); // without it, no resume: no loss
    m_recorder.start(plan());
    m_samples.setScaleFrom(1, m_scale);
    m_samples.setAlarmPeriods(m_alarm.periods());
}

void Instrument::markRecordingAlarms()
{
    if (m_shownFile.isEmpty() && !m_loading)
        m_samples.setAlarmPeriods(m_alarm.periods());
}

void Instrument::view(const QString &path, const RecordingLoader::Hooks &hooks)
{
    if (path.isEmpty() || m_loading || m_recorder.isRecording())
        return;
    m_loading = true;
    emit loadingChanged(true);
    m_samples.clear();
    const RecordingLoader::Result result = RecordingLoader::load(path, m_samples, hooks);
    m_loading = false;
    emit loadingChanged(false);

    using Outcome = RecordingLoader::Outcome;
    m_viewed = path;
    m_shownFile.clear();
    if (result.outcome == Outcome::Loaded || result.outcome == Outcome::TooManyLines) {
        m_shownFile = path;
        // Each recording of the file on the scale kept for it; as recorded when none was.
        const QHash<QByteArray, SensorScale> kept = RecordingScales::read(path);
        for (const int i : m_samples.recordingStarts())
            m_samples.setScaleFrom(i, kept.value(m_samples.at(i).line->toLatin1()));
        m_samples.setAlarmPeriods(
            AlarmJournal::periods(AlarmJournal::read(AlarmJournal::pathFor(path))));
        m_samples.readComplete();
    } else {
        m_samples.clear(); // what was read before the fault is not shown, nor kept as if it were
    }

    switch (result.outcome) {
    case Outcome::TooManyLines:
        emit told(tr("Ce fichier contient plus de %1 mesures : seules les %1 premières sont "
                     "affichées.")
                      .arg(SampleStore::Capacity),
                  false);
        break;
    case Outcome::Malformed:
        if (QFile journal(path); journal.open(QIODevice::ReadOnly)
            && journal.read(AlarmJournal::header().size()) == AlarmJournal::header())
            emit told(tr("« %1 » est le journal d'alarme d'un enregistrement : visualisez "
                         "l'enregistrement lui-même, son journal est lu avec lui.")
                          .arg(QDir::toNativeSeparators(path)),
                      false);
        else
            emit told(tr("Erreur format fichier"), false);
        break;
    case Outcome::ReadError:
        emit told(tr("La lecture du fichier « %1 » a échoué :\n%2").arg(path, result.error), true);
        break;
    case Outcome::OpenFailed: // a file the user may not read, or gone since it was chosen
        emit told(tr("Le fichier « %1 » ne peut pas être ouvert :\n%2").arg(path, result.error),
                  true);
        break;
    case Outcome::Loaded:
    case Outcome::NoSampleLine:
        break;
    }
}

QString Instrument::shownFile() const
{
    return m_shownFile.isEmpty() ? m_settings.settings().fichier_donnees : m_shownFile;
}

QString Instrument::proposedName(const QString &ending) const
{
    const QFileInfo source(shownFile());
    return source.absoluteDir().filePath(source.completeBaseName() + ending);
}

QString Instrument::overwriteRefusal(const QString &path) const
{
    if (path.isEmpty())
        return {};
    // The same file, whether it exists yet or not.
    const auto same = [target = QFileInfo(path)](const QString &other) {
        const QFileInfo file(other);
        return !other.isEmpty()
            && (file.absoluteFilePath() == target.absoluteFilePath()
                || (file.exists() && target.exists()
                    && file.canonicalFilePath() == target.canonicalFilePath()));
    };
    if (!same(m_settings.settings().fichier_donnees) && !same(m_viewed))
        return {};
    return tr("« %1 » est un fichier d'enregistrement : Ondaris ne le remplace pas.\n"
              "Choisissez un autre nom.")
        .arg(QDir::toNativeSeparators(path));
}

void Instrument::exportSamples(const QString &path, int first, int last)
{
    if (path.isEmpty())
        return;
    if (const QString refused = overwriteRefusal(path); !refused.isEmpty()) {
        emit told(refused, true);
        return;
    }
    QString reason;
    const bool written = WorkbookFile::isWorkbook(path)
        ? WorkbookFile::write(path, m_samples, first, last, QFileInfo(shownFile()).fileName(),
                              &reason)
        // In the user's locale, where the spreadsheet that opens the file runs.
        : SpreadsheetFile::write(path, m_samples, first, last,
                                 SpreadsheetFile::formatFor(QLocale()), &reason);
    if (!written)
        emit told(tr("L'export n'a pas pu être écrit dans « %1 » :\n%2")
                      .arg(QDir::toNativeSeparators(path), reason),
                  true);
}

void Instrument::savePicture(const QString &path, const QByteArray &png)
{
    if (path.isEmpty())
        return;
    if (const QString refused = overwriteRefusal(path); !refused.isEmpty()) {
        emit told(refused, true);
        return;
    }
    QSaveFile file(path);
    if (png.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(png) != png.size()
        || !file.commit())
        emit told(
            tr("L'image n'a pas pu être enregistrée dans « %1 » :\n%2")
                .arg(QDir::toNativeSeparators(path),
                     file.errorString().isEmpty() ? tr("erreur d'écriture") : file.errorString()),
            true);
}

QString Instrument::chooseScale(const QString &min, const QString &max, const QString &unit)
{
    QString reason;
    const std::optional<SensorScale> scale = SensorScale::parse(min, max, unit, &reason);
    if (!scale)
        return reason;
    if (*scale == m_scale)
        return {};
    m_scale = *scale;
    m_acquisition.setScale(m_scale);
    m_alarm.setLimits(m_alarm.limits(), m_scale);
    m_extra.setScale(m_scale);
    keepExtra(tr("L'échelle est en usage, mais ne sera pas gardée pour le prochain démarrage"));
    return {};
}

void Instrument::keepScale(const QByteArray &first)
{
    QString reason;
    if (!m_scale.isIdentity() && !RecordingScales::keep(m_running.file, first, m_scale, &reason))
        emit told(
            tr("L'échelle de cet enregistrement n'a pas pu être gardée dans « %1 » (%2) : "
               "ses mesures sont enregistrées, mais relu plus tard il sera affiché sans "
               "unité.")
                .arg(QDir::toNativeSeparators(RecordingScales::pathFor(m_running.file)), reason),
            true);
}

QString Instrument::chooseAlarm(const AlarmLimits::Texts &texts)
{
    if (m_recorder.isRecording())
        return tr("Les limites de l'alarme ne changent pas pendant un enregistrement.");
    QString reason;
    const std::optional<AlarmLimits> limits = AlarmLimits::parse(texts, m_scale, &reason);
    if (!limits)
        return reason;
    if (*limits == m_alarm.limits())
        return {};
    m_alarm.setLimits(*limits, m_scale);
    m_extra.setAlarm(*limits);
    keepExtra(tr("Les limites de l'alarme sont en usage, mais ne seront pas gardées pour le "
                 "prochain démarrage"));
    return {};
}

void Instrument::keepExtra(const QString &unkept)
{
    if (QString reason; !m_extra.save(&reason))
        emit told(unkept + QStringLiteral(" :\n") + reason, true);
}

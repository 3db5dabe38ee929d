#include "workbookfile.h"

#include "samplestore.h"
#include "sampletext.h"
#include "spreadsheetfile.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <memory>
#include <vector>
#include <xlsxwriter.h>

namespace {

// The column of the date and time, or of a viewed line's first field after its value.
constexpr lxw_col_t kDateColumn = 3;

QString tr(const char *text)
{
    return QCoreApplication::translate("WorkbookFile", text);
}

// A date a cell may hold: before March 1900 Excel and LibreOffice count days differently.
bool fitsCell(QDate date)
{
    return date >= QDate(1900, 3, 1) && date.year() <= 9999;
}

// A scale and the samples it covers.
struct Run
{
    int first;
    int last;
    SensorScale scale;
};

std::vector<Run> runsOf(const SampleStore &store, int from, int to)
{
    std::vector<Run> runs;
    for (int i = from; i <= to; ++i)
        if (runs.empty() || !(store.scaleAt(i) == runs.back().scale))
            runs.push_back({i, i, store.scaleAt(i)});
        else
            runs.back().last = i;
    return runs;
}

// The scales in words: "Échelle : Min = 0 ; Max = 100 ; unité °C.", or a sentence for each
// with the samples it covers when there are several.
QString scalesText(const SampleStore &store, const std::vector<Run> &runs)
{
    const auto number = [](double value) {
        return QString::number(value, 'g', 15).replace(u'.', u',');
    };
    QStringList sentences;
    for (const Run &run : runs)
        sentences.append(tr("%1 : Min = %2 ; Max = %3 ; %4.")
                             .arg(runs.size() == 1 ? tr("Échelle")
                                                   : tr("Mesures N° %1 à %2")
                                                         .arg(store.at(run.first).number)
                                                         .arg(store.at(run.last).number),
                                  number(run.scale.min()), number(run.scale.max()),
                                  run.scale.unit().isEmpty()
                                      ? tr("sans unité")
                                      : tr("unité %1").arg(run.scale.unit())));
    return sentences.join(u' ');
}

// The workbook made at path; the first error met, if any.
lxw_error compose(const QByteArray &path, const SampleStore &store, int from, int to,
                  const QString &recordingName)
{
    // Row by row, each written out before the next: memory stays flat however many samples.
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    std::unique_ptr<lxw_workbook, decltype(&lxw_workbook_free)> book(
        workbook_new_opt(path.constData(), &options), &lxw_workbook_free);
    if (!book)
        return LXW_ERROR_CREATING_XLSX_FILE;
    lxw_error error = LXW_NO_ERROR;
    const auto check = [&error](lxw_error e) {
        if (error == LXW_NO_ERROR)
            error = e;
    };

    const std::vector<Run> runs = runsOf(store, from, to);
    QByteArray title = recordingName.toUtf8(), comments = scalesText(store, runs).toUtf8();
    lxw_doc_properties properties {};
    properties.title = title.data();
    properties.comments = comments.data();
    check(workbook_set_properties(book.get(), &properties));
    if (runs.size() == 1) {
        const SensorScale &scale = runs.front().scale;
        check(workbook_set_custom_property_number(book.get(), "Min", scale.min()));
        check(workbook_set_custom_property_number(book.get(), "Max", scale.max()));
        if (!scale.unit().isEmpty())
            check(workbook_set_custom_property_string(book.get(), "Unité",
                                                      scale.unit().toUtf8().constData()));
    }

    lxw_worksheet *sheet = workbook_add_worksheet(book.get(), "Mesures");
    lxw_format *bold = workbook_add_format(book.get());
    format_set_bold(bold);
    lxw_format *dateFormat = workbook_add_format(book.get());
    format_set_num_format(dateFormat, "yyyy-mm-dd hh:mm:ss");
    const QStringList titles = SpreadsheetFile::titles(
        {SpreadsheetFile::columnsFor(store, from, to).unit, /* recorded */ true});
    for (lxw_col_t c = 0; c < lxw_col_t(titles.size()); ++c)
        check(worksheet_write_string(sheet, 0, c, titles[c].toUtf8().constData(), bold));
    worksheet_freeze_panes(sheet, 1, 0);
    check(worksheet_set_column(sheet, 1, 2, 18, nullptr));
    check(worksheet_set_column(sheet, kDateColumn, kDateColumn, 20, nullptr));

    for (int i = from; i <= to; ++i) {
        const Sample &sample = store.at(i);
        const lxw_row_t row = lxw_row_t(i - from + 1);
        check(worksheet_write_number(sheet, row, 0, sample.number, nullptr));
        // The value as the list and the CSV show it, rounded to the scale's decimals.
        const double units
            = store.scaleAt(i).text(sample.value, u".", SensorScale::Unit::Omitted).toDouble();
        check(worksheet_write_number(sheet, row, 1, units, nullptr));
        check(worksheet_write_number(sheet, row, 2, sample.value, nullptr));
        if (fitsCell(sample.date)) {
            lxw_datetime when {sample.date.year(),   sample.date.month(),
                               sample.date.day(),    sample.time.hour(),
                               sample.time.minute(), double(sample.time.second())};
            check(worksheet_write_datetime(sheet, row, kDateColumn, &when, dateFormat));
            continue;
        }
        const QStringList fields = sample.date.isValid()
            ? QStringList {sample.date.toString(u"yyyy-MM-dd") + u' '
                           + sample.time.toString(u"hh:mm:ss")}
            : SampleText::fieldsAfterValue(sample);
        for (lxw_col_t f = 0; f < lxw_col_t(fields.size()); ++f)
            check(worksheet_write_string(sheet, row, kDateColumn + f,
                                         fields[f].toUtf8().constData(), nullptr));
    }
    const lxw_error closed = workbook_close(book.release()); // which frees it
    return error != LXW_NO_ERROR ? error : closed;
}

} // namespace

namespace WorkbookFile {

bool isWorkbook(const QString &path)
{
    return QFileInfo(path).suffix().compare(u"xlsx", Qt::CaseInsensitive) == 0;
}

bool write(const QString &path, const SampleStore &store, int from, int to,
           const QString &recordingName, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    // The library writes to a file it names only; QSaveFile then puts the bytes in place in one
    // step, keeping the permissions of a file it replaces.
    QTemporaryFile part;
    if (!part.open())
        return fail(part.errorString());
    if (const lxw_error e
        = compose(QFile::encodeName(part.fileName()), store, from, to, recordingName);
        e != LXW_NO_ERROR)
        return fail(
            tr("le classeur n'a pas pu être composé (%1)").arg(QString::fromUtf8(lxw_strerror(e))));
    const QByteArray bytes = part.readAll();
    QSaveFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
        || !file.commit())
        return fail(bytes.isEmpty() ? part.errorString() : file.errorString());
    return true;
}

} // namespace WorkbookFile

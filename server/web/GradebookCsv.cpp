#include "web/GradebookCsv.h"

#include "admin/AdminCommands.h"

std::string GradebookCsv(const Gradebook& book, char separator) {
    const char decimal = separator == ',' ? '.' : ',';
    std::string csv = "\xEF\xBB\xBF"; // the byte-order mark
    csv += CsvField("Студент", separator);
    for (const GradebookTask& task : book.tasks)
        csv += separator +
               CsvField(task.name + " (из " + std::to_string(task.maximum) + ")", separator);
    csv += separator + CsvField("Итого (из " + std::to_string(book.maximumTotal) + ")", separator);
    csv += "\r\n";
    for (const GradebookRow& row : book.rows) {
        csv += CsvField(row.student, separator);
        for (const GradebookCell& cell : row.cells) {
            csv += separator;
            if (cell.attemptsUsed > 0)
                csv += PointsText(cell.best, decimal);
        }
        csv += separator + PointsText(row.total, decimal);
        csv += "\r\n";
    }
    return csv;
}

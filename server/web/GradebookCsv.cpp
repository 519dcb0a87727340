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
    // The scores stay numbers; the tasks whose best attempt holds answers right with the
    // errors they carry are named in a column of their own, after the others.
    csv += separator + CsvField("С учётом ошибки", separator);
    csv += "\r\n";
    for (const GradebookRow& row : book.rows) {
        csv += CsvField(row.student, separator);
        std::string carried;
        for (std::size_t k = 0; k < row.cells.size(); ++k) {
            const GradebookCell& cell = row.cells[k];
            csv += separator;
            if (cell.attemptsUsed > 0)
                csv += PointsText(cell.best, decimal);
            if (cell.attemptsUsed > 0 && cell.carried)
                carried += (carried.empty() ? "" : ", ") + book.tasks[k].name;
        }
        csv += separator + PointsText(row.total, decimal);
        csv += separator + CsvField(carried, separator);
        csv += "\r\n";
    }
    return csv;
}

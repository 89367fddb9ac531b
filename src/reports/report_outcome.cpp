#include "reports/report_outcome.h"

#include "core/cp1250.h"
#include "reports/report_paths.h"

namespace kuzelna {

std::string operatorText(std::string_view utf8) {
    return cp1250::fromUtf8(utf8);
}

ReportCancelled::ReportCancelled() : SpreadsheetError(operatorText("Zrušeno")) {}

std::string failureText(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const ReportFailure& failure) {
        return failure.what();
    } catch (const ReportCancelled& cancelled) {
        return cancelled.what();
    } catch (const WorkbookInUseError& inUse) {
        // A lock left behind by an office that was killed looks the same: say where it is.
        const std::string name = textFromPath(inUse.workbook().filename());
        return operatorText("Sešit ") + name +
               operatorText(" má otevřen jiný program; zavřete ho tam a zkuste to znovu. Není-li nikde "
                            "otevřen, smažte zámek .~lock.") +
               name + operatorText("# v jeho složce.");
    } catch (const std::exception& other) {
        return operatorText("Chyba tabulkového procesoru: ") + other.what();
    } catch (...) {
        return operatorText("Neznámá chyba");
    }
}

void requireTemplate(const std::filesystem::path& file) {
    if (!std::filesystem::is_regular_file(file)) {
        throw ReportFailure(operatorText("Chybí šablona ") + textFromPath(file.filename()) +
                            operatorText(" ve složce ") + textFromPath(file.parent_path()));
    }
}

void requireFolder(const std::filesystem::path& folder) {
    if (!std::filesystem::is_directory(folder)) {
        throw ReportFailure(operatorText("Složka ") + textFromPath(folder) +
                            operatorText(" neexistuje (Nastavení – Cesta k formulářům)"));
    }
}

} // namespace kuzelna

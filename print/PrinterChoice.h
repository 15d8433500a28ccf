#pragma once
#include "platform/PrinterDevice.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// The printers of this run and the one chosen: the choice, its copies and orientation last
// until the program ends and are not saved. So does the last file printed into.
struct TPrinterChoice {
    QStringList names;
    std::function<std::shared_ptr<pl::PrinterDevice>(const QString &name)> make;
    std::shared_ptr<pl::PrinterDevice> current;
    QString lastOutputFile;

    // Makes the printer of that name current; false (nothing changed) when there is none.
    bool Select(const QString &name)
    {
        if (current && current->name() == name)
            return true;
        std::shared_ptr<pl::PrinterDevice> device = make ? make(name) : nullptr;
        if (!device)
            return false;
        current = std::move(device);
        return true;
    }
};

// The file a "PDF file" print offers first: the last one of this run, else beside the document,
// its name with "-print" added.
QString SuggestedOutputFile(const QString &lastOutputFile, const QString &documentFile);

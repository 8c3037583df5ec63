#pragma once

#include <functional>

class QPrinter;

/**
 * The printing dialogs, beside the platform: they take a QPrinter, which the core's platform
 * cannot name. The window implements them with Qt's print and print preview dialogs, the tests
 * with a fake that never opens a modal dialog.
 */
class PrintPlatform {
public:
    virtual ~PrintPlatform() = default;

    /** The print dialog for printer (its paper, pages, copies). Returns whether to print. */
    virtual bool choosePrinter(QPrinter& printer) = 0;

    /**
     * The print preview of printer, modal; it calls paint whenever it needs the pages drawn
     * (at first, and after a change of paper or orientation), and may print from there.
     */
    virtual void previewPrint(QPrinter& printer, const std::function<void(QPrinter&)>& paint) = 0;
};

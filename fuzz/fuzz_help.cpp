// Fuzzes the help file reader, and puts each topic it accepts into a text
// document as the viewer shows it: the help file is read from beside the
// program, and may have been replaced.
#include "platform/Help.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static QGuiApplication application(qtArgc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    QString error;
    const auto file
        = platform::HelpFile::parse(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &error);
    if (!file)
        return 0;
    int shown = 0;
    for (const auto& topic : file->topics()) {
        if (++shown > 4)
            break;
        QTextDocument document;
        document.setHtml(topic.body);
        document.toPlainText();
    }
    return 0;
}

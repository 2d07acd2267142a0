#pragma once

#include "app/TfrmMain.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

// Base of window tests: a real, not yet shown window over its own folder, error box texts in `errors`.
class WindowTest : public ::testing::Test
{
protected:
    WindowTest()
    {
        window.setProgramFolder(folder.path());
        window.setErrorPresenter([this](const QString& text) { errors << text; });
    }

    void show() { window.show(); }

    // The one widget of that name and type in the whole window.
    template <typename T = QWidget> T* field(const char* name)
    {
        const QList<T*> found = window.findChildren<T*>(name);
        EXPECT_EQ(found.size(), 1) << name;
        return found.value(0);
    }

    // For tests of what must survive the window's end; `window` is gone afterwards.
    void destroyWindow() { owned.reset(); }

    QTemporaryDir folder;
    QStringList errors;

private:
    std::unique_ptr<TfrmMain> owned = std::make_unique<TfrmMain>();

protected:
    TfrmMain& window = *owned;
};

inline QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

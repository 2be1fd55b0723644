// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "publishing/LectureRecordsCheck.h"
#include "publishing/LibraryFinding.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

// Whether each lecture's audio can be downloaded, and resumed, as the
// client downloads it. Each address is asked once, however many lectures
// name it; findings stand at the first lecture that does.
class AudioCheck {
    Q_DECLARE_TR_FUNCTIONS(AudioCheck)

public:
    // Over HTTP: heads only, at most parallel requests at once.
    static AudioCheck overHttp(int parallel);
    // From a folder: addresses below servedAt (the address the folder will
    // be served at; empty when not known) are looked for as its files.
    static AudioCheck inFolder(const QString& folder, const QString& servedAt);

    void run(const QList<AudioReference>& audio, QList<LibraryFinding>& findings);
    int requestCount() const { return requestCount_; }

    // Whether a body starts the way an HTML page does.
    static bool looksLikeHtml(const QByteArray& firstBytes);

private:
    AudioCheck() = default;
    void runOverHttp(const QList<AudioReference>& audio, QList<LibraryFinding>& findings);
    void runInFolder(const QList<AudioReference>& audio, QList<LibraryFinding>& findings) const;

    bool overHttp_ = false;
    int parallel_ = 1;
    QString folder_;
    QString servedAt_;
    int requestCount_ = 0;
};

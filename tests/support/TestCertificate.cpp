#include "TestCertificate.h"

#include "ProgramRun.h"

#include <QDir>
#include <QStandardPaths>

TestCertificate MakeTestCertificate(const QString& folder) {
    if (QStandardPaths::findExecutable("openssl").isEmpty())
        return {};
    const TestCertificate made{QDir(folder).filePath("cert.pem"), QDir(folder).filePath("key.pem")};
    const ProgramRun run =
        RunProgram("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", made.key,
                               "-out", made.certificate, "-days", "2", "-subj", "/CN=localhost",
                               "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"});
    return run.exitCode == 0 ? made : TestCertificate{};
}

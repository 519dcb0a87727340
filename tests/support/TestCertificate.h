#pragma once

#include <QString>

// A self-signed certificate for "localhost" and 127.0.0.1 with its key, written by openssl
// into a folder of the test's own.
struct TestCertificate {
    QString certificate; // PEM
    QString key;         // PEM, unencrypted
};

// Nothing (empty paths) when openssl is not installed or fails.
TestCertificate MakeTestCertificate(const QString& folder);

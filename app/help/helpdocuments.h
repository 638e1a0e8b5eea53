#pragma once

#include <QString>

// Resource paths and window titles of the embedded documents. Paths carry the running
// language ("en" or "it"); resources live under ":/Corvin/".
namespace HelpDocuments {

QString programHelpPath();
QString programHelpTitle();
QString licensePath();
QString licenseTitle();
QString dspHelpPath();
QString dspHelpTitle();
// Notices of the libraries the program uses, appended to plain-text documents.
QString noticesPath();

} // namespace HelpDocuments

#pragma once

#include <QString>

// Short size text of the download progress: "500b", "1k", "1.5M", "0.5G".
QString FormatSize(qint64 Bytes);

// The floor that reading benchmarks compare with: an agency file (or any
// text file) read line by line by the agency file reader, nothing else.
#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

#include "agencyfile/agency_file_reader.h"

namespace bench {

inline void PlainRead(benchmark::State &state, const QString &file) {
  for (auto _ : state) {
    agencyfile::AgencyFileReader reader(agencyfile::AgencySource::File(file));
    if (!reader.Open()) state.SkipWithError("cannot open");
    QByteArray line;
    int lines = 0;
    while (reader.Next(&line)) ++lines;
    benchmark::DoNotOptimize(lines);
  }
}

}  // namespace bench

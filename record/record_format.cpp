#include "record/record_format.h"

#include "record/match_record.h"
#include "record/record_head.h"

namespace fragtally {

bool recordDescribes(const RecordHead& head, const LogFileFacts& facts) {
  return head.version == kRecordVersion && head.generator == kRecordGenerator && head.logPath == facts.path && head.logBytes == facts.bytes &&
         head.logModified == isoUtcTime(facts.modifiedUnixSeconds) &&
         head.logModifiedNanoseconds == facts.modifiedNanoseconds;
}

}  // namespace fragtally

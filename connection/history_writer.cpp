#include "connection/history_writer.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/day_number.h"
#include "platform/ui/locale_text.h"
#include "shared/open_table.h"
#include "shared/tdm.h"
#include "shared/text_fields.h"

std::string TimeOfDayText(double dateTime) {
    double whole = 0;
    double fraction = std::modf(dateTime, &whole);
    if (fraction < 0)
        fraction += 1;
    const auto ms = static_cast<std::int64_t>(std::llround(fraction * vesk::kMsPerDay));
    const vesk::TClockTime time = vesk::DecodeMsOfDay(ms);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.Hour, time.Minute, time.Second);
    return text;
}

double DateTimeValue(const os::LocalDateTime& moment) {
    std::int32_t day = vesk::kTimeOnlyDay;
    vesk::EncodeDayNumber({moment.year, moment.month, moment.day}, day);
    const std::int64_t ms =
        ((moment.hour * 60LL + moment.minute) * 60 + moment.second) * 1000 + moment.millisecond;
    return static_cast<double>(day - vesk::kTimeOnlyDay) +
           static_cast<double>(ms) / static_cast<double>(vesk::kMsPerDay);
}

std::int32_t WriteHistoryRows(Tdm& data, const THistoryTransfer& transfer,
                              const std::string& today) {
    const rupdown& entry = *transfer.entry;
    const std::string type = entry.direction == 0 ? "Upload" : "Download";
    std::int32_t headKey = 0;
    {
        OpenTable heads(*data.Thm);
        if (heads->Locate("id;date;type", {transfer.siteId, today, type})) {
            headKey = heads->FieldByName("key").AsInteger();
        } else {
            heads->Append();
            heads->FieldByName("id").SetAsInteger(transfer.siteId);
            heads->FieldByName("date").SetAsString(today);
            heads->FieldByName("type").SetAsString(type);
            heads->Post();
            headKey = heads->FieldByName("key").AsInteger();
        }
    }
    const bool renamed = !transfer.newName.empty();
    const bool upload = entry.direction == 0;
    OpenTable details(*data.Thd);
    details->Append();
    details->FieldByName("id").SetAsInteger(headKey);
    details->FieldByName("type").SetAsString(type);
    shared::SetCutText(details->FieldByName("lofile"),
                       !upload && renamed ? transfer.newName : entry.name);
    shared::SetCutText(details->FieldByName("ftpfile"),
                       upload && renamed ? transfer.newName : entry.name);
    details->FieldByName("date").SetAsString(TimeOfDayText(transfer.itemStart));
    details->FieldByName("date2").SetAsString(TimeOfDayText(transfer.itemEnd));
    shared::SetCutText(details->FieldByName("ftppath"),
                       entry.ftppath == "0" ? transfer.currentDir : entry.ftppath);
    shared::SetCutText(details->FieldByName("lopath"), entry.lopath);
    details->FieldByName("usetime").SetAsString(
        ui::FormatGeneral(static_cast<double>(transfer.elapsedMs) / 1000.0));
    details->FieldByName("speed").SetAsString(transfer.speed);
    details->FieldByName("isfolder").SetAsBoolean(entry.isfolder);
    details->Post();
    return headKey;
}

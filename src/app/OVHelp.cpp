#include "app/OVHelp.h"

#include "records/OVInfo.h"

#include <QStringList>

namespace OVHelp {
namespace {

// Bodies are written as raw UTF-8 text; the first line break after the opening
// delimiter is only there for layout and is dropped.
QNMRHelpTopic topic(const char* id, const char* title, const QString& body,
                    std::initializer_list<const char*> keywords)
{
    QStringList words;
    for (const char* k : keywords)
        words.append(QString::fromUtf8(k));
    QString text = body;
    if (text.startsWith(QLatin1Char('\n')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return QNMRHelpTopic{QString::fromUtf8(id), QString::fromUtf8(title), text, words};
}

QString u8(const char* text) { return QString::fromUtf8(text); }

QList<QNMRHelpTopic> build()
{
    // The reference data and the video links were checked on the same day.
    const QString checked = OVInfo::dataCheckedISO;
    QList<QNMRHelpTopic> list;

    list.append(topic("start", "Start here: from empty to your first harvest", u8(R"(
QNMR Orvane keeps everything about your greenhouse in one place: its layout, plants, seeds, climate, jobs, problems, harvests and costs. Work through these steps once; after that you will mostly use Today.
## Step 1 — Add your greenhouse
Open Greenhouses and choose Add Greenhouse. Give it a name; location, size and glazing are optional.
## Step 2 — Add zones
On the greenhouse card choose Add Zone for every area you want to track separately, such as a propagation area or a tomato house. Each zone has its own alert ranges and its own climate log.
## Step 3 — Add beds and benches
Under each zone, the + Bed and + Bench buttons add the places where your plants grow.
## Step 4 — Set alert ranges
Choose Alert Ranges & Edit on a zone and enter a low and/or high value for any of the eight measurements. Readings outside a range show in orange and send a desktop notification.
## Step 5 — Add your plants
Open Crop Library, pick a crop and choose Start a Planting, or go to Plants & Crops → Add Plant. In the plant editor, Fill From Crop Library works out the expected harvest date.
## Step 6 — Log the climate
On Climate, choose Add Reading to type a reading in, or Import CSV… to bring in a file from your data logger.
## Step 7 — Add watering, feeding and maintenance schedules
Add jobs under Watering & Feeding and Maintenance and tick Remind me (desktop notification) to be reminded. Done records a job and works out the next date.
## Step 8 — Record problems
Log pests, diseases and disorders under Pests & Diseases; open problems stay on Today until they are resolved.
## Step 9 — Log harvests and costs
Record every picking under Harvests and every purchase under Supplies & Costs.
## Step 10 — See the results and keep a backup
Reports shows yield per crop and cost per harvest. Save a backup now and then with Back Up Now… in Settings & Backup.
Tip: to look around first, choose Settings & Backup → Add Sample Greenhouse.
)"),
                      {"begin", "getting started", "tutorial", "walkthrough", "first", "setup",
                       "quick start", "how to"}));

    list.append(topic("screen-today", "Screen: Today", u8(R"(
Today is the first screen: everything that needs you now, worked out afresh each time it is shown.
• Four tiles at the top: plants growing now, jobs due today or overdue, climate alerts right now and the weight harvested this year.
• Due today and overdue: every job that is due, each with its Done button; overdue jobs are outlined in orange.
• Coming up this week: the jobs due in the next 7 days.
• Climate right now: the newest reading of every zone; a tile turns orange when a value is out of range, and a click opens that zone on Climate.
• Harvests coming: plants whose expected harvest falls within 14 days (or already passed), each with Log harvest.
• Open pest & disease problems: every problem that is not yet marked Resolved.
)"),
                      {"dashboard", "home", "overview", "due", "overdue"}));

    list.append(topic("screen-greenhouses", "Screen: Greenhouses, zones, beds and benches", u8(R"(
## Greenhouses
Add Greenhouse creates one; Edit on its card changes the name, location, size, glazing and notes. Deleting a greenhouse removes its zones, beds, benches and readings after a question; its plants stay but lose their location.
## Zones
Add Zone on a greenhouse card adds an area with its own climate log and alert ranges. Alert Ranges & Edit changes the zone and its ranges; Climate opens its readings. Deleting a zone removes its beds, benches and readings.
## Beds and benches
+ Bed and + Bench add a place to a zone. Click a bed or bench to rename it, change its size or delete it.
Export CSV saves every greenhouse with its zones as one CSV file.
)"),
                      {"zone", "bed", "bench", "area", "layout", "house", "high tunnel",
                       "hoop house"}));

    list.append(topic("screen-plants", "Screen: Plants & Crops", u8(R"(
Plants & Crops lists every planting with its status, place and dates.
• Search finds crops, varieties, sources and notes.
• The Status menu shows planned and growing plants, all plants, or the plants of one status.
• The Greenhouse menu shows the plants of one greenhouse.
• Click a plant to edit it; right-click it for Log a Harvest…, Log a Pest or Disease… and Delete….
## The plant editor
• Crop and variety: when the crop's name matches the Crop Library, the library match is chosen for you.
• Source: where the seed or plants came from.
• Status: Planned, Germinating, Seedling, Growing, Flowering, Fruiting, Harvesting, Finished or Failed.
• Dates: Fill From Crop Library works out the expected harvest, counting from the transplant date for tomato, pepper, eggplant, broccoli and cabbage and from sowing for everything else.
• Place: choosing a bed or bench fills in its zone and greenhouse.
• Photos: save the plant first, then add photos. Photos live in the database and go into backups.
)"),
                      {"plant", "crop", "variety", "status", "sow", "transplant",
                       "expected harvest", "photo", "pictures", "location"}));

    list.append(topic("screen-seeds", "Screen: Seed Inventory and germination tests", u8(R"(
Seed Inventory keeps one entry per packet or bag: crop, variety, supplier, lot number, the year it was packed for and the amount left. Add Seed Packet adds one.
## Germination test
Count 10 or 20 seeds onto a damp paper towel, keep it warm and moist, and count how many sprout. Choose Germination Test on the packet and enter both numbers. The newest test shows as a tag on the packet: green at 70% or more, orange below.
## Plant From This Seed
Plant From This Seed opens a new plant with the packet's crop, variety and source, today as the sowing date and the matching Crop Library entry.
)"),
                      {"seed", "packet", "germination", "sprout", "test", "inventory", "lot"}));

    list.append(topic("screen-harvests", "Screen: Harvests", u8(R"(
Harvests records what you pick: the plant or crop, the date, the amount and its unit — lb, oz, kg, g or count (each).
• The top card totals this year per crop: weights in pounds, with other units converted, and counted items apart.
• Click a harvest to edit or delete it.
• Deleting a plant keeps its harvests with the crop name, so your totals stay right.
)"),
                      {"harvest", "yield", "pick", "weight", "pounds", "count"}));

    list.append(topic("screen-climate", "Screen: Climate (readings, charts, alerts)", u8(R"(
Climate shows the readings of one zone. The chart shows one measurement at a time for 7, 30 or 90 days or everything, with the zone's alert limits as dashed lines; the list below it shows the readings themselves.
## Adding readings
Add Reading types a reading in by hand. Import CSV… brings in a file from a data logger or a spreadsheet; see “CSV import: file format”.
## Alerts
A value below the low limit or above the high limit is shown in orange, counted on Today and announced with a desktop notification. A value exactly on the limit is fine.
## Manual entry / CSV import only
QNMR Orvane does not connect to sensors and does not switch fans, heaters, vents or any other equipment.
)"),
                      {"climate", "temperature", "humidity", "light", "co2", "soil", "ph", "ec",
                       "chart", "graph", "alert", "reading", "sensor"}));

    list.append(topic("csv-format", "CSV import: file format", u8(R"(
The first row of the file names the columns. Names are matched without regard to capitals, spaces or symbols, so “Temp (°F)” and temp_f mean the same column.
• Time: a timestamp, date_time or datetime column, or separate date and time columns. Accepted forms include 2026-10-24 07:30, 2026-10-24T07:30:00, 10/24/2026 7:30 AM, 10/24/2026 07:30 and Unix seconds.
• Dates with slashes are read month first. When a file shows its dates are day first (24/10/2026), none of its slash dates is guessed: save them as 2026-10-24.
• Zone (optional): the exact name of a zone; rows without one go to the zone chosen in the import window.
• Readings: temp_f or temp_c, humidity (or rh), light (or lux), co2, soil_moisture, soil_temp_f or soil_temp_c, ph and ec, and their common synonyms.
• A plain temp or temperature column is read as °F unless Plain “temp” columns are in °C is ticked. The box never changes humidity, light, CO₂, soil moisture, pH or EC. A temperature written with its unit, such as 21 °C or 70 °F, is read in that unit whatever the column or the box say.
• Note (optional): a text kept with each reading.
Comma, semicolon and tab separated files all work.
Files saved as UTF-8 or as Unicode text (UTF-16) both work.
Empty cells, NA and “-” are skipped.
## What happens to bad rows
Rows with a date that cannot be read, a word where a number belongs, an impossible value (humidity 140%), an unknown zone or no readings at all are skipped and listed with their line numbers. All the good rows are imported together. A row for the same zone and minute as a reading already in the log is skipped as a duplicate.
Save an Example File… in the import window writes a small example file to start from.
)"),
                      {"csv", "import", "logger", "data logger", "spreadsheet", "columns", "excel",
                       "file", "format"}));

    list.append(topic("screen-schedules", "Screen: Watering & Feeding", u8(R"(
Watering & Feeding holds your repeating jobs: watering, feeding and nutrient, pH or EC checks, each for a zone or for one plant. Add Schedule creates one.
• Each row shows how the job repeats, when it is next due and when it was last done.
• Overdue jobs are outlined in orange.
• Done records the job now and works out the next date; History shows the latest completions.
• The month calendar shows which days have jobs.
The repeat choices and reminders are explained in “Repeating schedules and reminders”.
)"),
                      {"water", "watering", "feed", "feeding", "fertilizer", "nutrient", "schedule",
                       "irrigation"}));

    list.append(topic("screen-maintenance", "Screen: Maintenance calendar", u8(R"(
Maintenance is the upkeep calendar of the greenhouse itself: vents, heaters, fans & cooling, filters, cleaning & sanitation, glazing, irrigation lines, frame & doors and anything else.
• Add Maintenance Task: choose a category, a title, how it repeats and the time of day.
• The month calendar shows the jobs of one month; its arrows move to the month before or after.
• Done records the job and works out the next date.
• A paused task (Active unticked) stays listed but is not scheduled and sends no reminders.
Jobs worth adding: clean the cooling pad every month, check the heater each autumn before the first frost, wash the glazing in spring, change the fan filters twice a year, flush the irrigation lines every two weeks.
)"),
                      {"maintenance", "vent", "heater", "fan", "filter", "cleaning", "glazing",
                       "calendar", "upkeep", "repair"}));

    list.append(topic("recurrence", "Repeating schedules and reminders", u8(R"(
## Repeat choices
• Once, on the start date.
• Every N days.
• Weekly on the weekdays you choose, every N weeks.
• Monthly on a day; day 29, 30 or 31 falls on the last day of shorter months.
• Monthly on the last day.
• Yearly on a date; February 29 falls on February 28 in other years.
## Time of day and daylight saving
A job keeps its time of day: 8:00 stays 8:00 when the clocks change.
## Next due
A job is next due at its first repeat after the last Done, or at its first repeat ever when it was never done. Doing a job late does not shift its future dates.
## Reminders (desktop notifications)
Tick Remind me (desktop notification) on a job. The reminders of the next few weeks stay scheduled and are refreshed after every change, and they appear while QNMR Orvane is running. A switch in Settings & Backup turns all reminders off.
)"),
                      {"repeat", "recurring", "every", "weekly", "monthly", "yearly", "reminder",
                       "notification", "daylight saving", "dst", "month end", "leap"}));

    list.append(topic("screen-pests", "Screen: Pests & Diseases", u8(R"(
Pests & Diseases is your log of problems: what you saw, when, where (a plant or a zone), the type (pest, disease, disorder or other), the severity from 1 light to 5 severe, the treatment, its date, the result and whether it is Resolved.
• Open problems show on Today until they are marked Resolved.
• Show resolved problems lists the finished ones too.
• Export CSV saves the log as one CSV file.
The log records what you did; it does not recommend treatments.
)"),
                      {"pest", "disease", "insect", "aphid", "whitefly", "mildew", "treatment",
                       "spray", "ipm"}));

    list.append(topic("screen-supplies", "Screen: Supplies & Costs", u8(R"(
Supplies & Costs records what you spend: the date, the item, its category, the quantity, the total cost and the vendor. Add Cost records a purchase.
• A cost for one plant or crop counts toward that crop's cost per harvest; leave both empty for shared costs such as heating.
• The top card totals this year by category.
)"),
                      {"cost", "money", "expense", "ledger", "supplies", "budget", "spent"}));

    list.append(topic("screen-reports", "Screen: Reports (yield per crop, cost per harvest)", u8(R"(
Choose the period first: This year, Last year, All dates or Custom.
## Yield per crop
For each crop: the number of harvests, the weight in pounds and in kilograms, counted items, and the first and last dates. Crop names are grouped without regard to capitals or spaces, so “Tomato” and “tomato ” count together.
## Cost per harvest
For each crop: its costs, harvests, weight, cost per pound and cost per harvest. Shared costs are listed apart and included in the ALL CROPS line.
## Export
Export CSV and Export PDF (US Letter) save a report; Export Everything (CSV) writes every list into a folder.
)"),
                      {"report", "yield", "cost per harvest", "cost per pound", "pdf", "csv",
                       "export", "print", "totals"}));

    list.append(topic("screen-library",
                      "Screen: Crop Library (and where its numbers come from)",
                      u8(R"(
The Crop Library holds growing figures for common vegetables: growing and night temperatures, soil temperature for seeding, spacing, planting depth, days to germinate and days to maturity.
## Sources
Every value comes from a university extension publication, checked on )") + checked + u8(R"(:
• Colorado State University Extension — CMG GardenNotes #720: Vegetable Planting Guide
• University of Georgia Extension — Vegetable Planting Chart (Circular 963)
• Oregon State University Extension Service — Soil temperature conditions for vegetable seed germination
• Texas A&M AgriLife Extension — Check Soil Temperature
• Texas A&M AgriLife Extension — Commercial and Specialty Crop Guides, one for each crop
When a source gives no number, the library says so (“No number given in the sources”) instead of guessing.
## Reading the numbers
Some sources give day temperatures and others mean temperatures; the library says which, and lists night temperatures apart. Days to maturity count from seeding or from transplanting, as each crop notes. Spacing is given for field rows or for block beds.
Start a Planting opens a new plant of the chosen crop, ready for Fill From Crop Library.
)"),
                      {"library", "reference", "crop", "temperature range", "spacing",
                       "days to maturity", "source", "extension", "usda", "university"}));

    list.append(topic("screen-videos", "Screen: Video Library", u8(R"(
The Video Library lists growing videos published on YouTube by extension services and growers; QNMR Orvane only links to them.
• Pick a topic or search by title or channel.
• Each card shows the channel, the date and the length.
• The watch button opens the video in your web browser; nothing is downloaded.
• Without an internet connection the buttons say “Needs internet”.
The links were checked on )") + checked + u8(R"(.
)"),
                      {"video", "youtube", "watch", "learn", "offline", "internet"}));

    list.append(topic("screen-settings", "Screen: Settings & Backup", u8(R"(
• Units: °F or °C. Readings are stored exactly; only the display changes.
• Notifications: reminders for schedules and maintenance, climate alerts, and Allow Notifications.
• Backup and restore: Back Up Now… and Restore From Backup…; see “Backups and restoring”.
• Export: Export Everything as CSV Files… writes every list as CSV files into one folder.
• Your data: where the database lives, with Show in File Manager.
• Sample greenhouse: Add Sample Greenhouse adds example records so you can try every screen.
)"),
                      {"settings", "preferences", "units", "celsius", "fahrenheit", "options"}));

    list.append(topic("backup", "Backups and restoring", u8(R"(
## Back up
Back Up Now… saves one .ovbackup file holding every record and photo. Keep copies on another drive. A backup of your home folder also covers the data folder.
## Restore
Restore From Backup… checks the file first: it must be a QNMR Orvane backup and undamaged. It tells you what the backup holds, then replaces all current records. Your current records are saved first as “Before restore (date).sqlite” in the data folder, so a restore can be undone.
## Moving to a new computer
Back up on the old computer, install QNMR Orvane on the new one, then restore the backup there.
)"),
                      {"backup", "restore", "copy", "safe", "new mac", "move", "time machine",
                       "undo"}));

    list.append(topic("walk-tomato", "Walkthrough: tomatoes from seed to harvest", u8(R"(
This example follows one tomato crop from the seed packet to its cost per pound.
1. Seed Inventory → Add Seed Packet: crop Tomato, your variety and supplier. Then choose Plant From This Seed: it sets today as the sowing date and the library match “Tomato”.
2. When you transplant, open the plant, set the transplant date and its bed, then choose Fill From Crop Library for the expected harvest date.
3. Watering & Feeding → Add Schedule: one watering and one feeding schedule for the tomato zone, with Remind me (desktop notification) ticked.
4. Greenhouses → Alert Ranges & Edit on the zone: set the air temperature and humidity range that suits tomatoes.
5. Pests & Diseases: log any whitefly or blight you find, with what you did about it.
6. Harvests and Supplies & Costs: log every picking with its weight and every purchase with the crop “Tomato”.
7. Reports → Cost per harvest shows what a pound of your tomatoes cost.
)"),
                      {"tomato", "example", "walkthrough", "seed to harvest"}));

    list.append(topic("walk-climate", "Walkthrough: climate alerts and a data logger file", u8(R"(
1. Greenhouses → Alert Ranges & Edit on a zone: for example air temperature 45 to 90 and humidity up to 85.
2. Export your data logger's readings as a CSV file (see “CSV import: file format”).
3. Climate → Import CSV…: choose the file and the zone for rows without a zone. The preview shows the columns found, the rows ready to import and any problem rows with their line numbers.
4. Choose Import. Readings outside the range are highlighted, counted as alerts on Today and announced with a desktop notification.
5. Use the chart's 7, 30 and 90 day buttons to see how the zone behaved.
)"),
                      {"logger", "import", "alert", "example", "walkthrough", "csv"}));

    list.append(topic("walk-costs", "Walkthrough: find your cost per pound", u8(R"(
1. Supplies & Costs → Add Cost for every purchase: give the crop for costs that belong to one crop, and leave it empty for shared costs such as heating.
2. Harvests: log every picking with its weight.
3. Reports → This year: Cost per harvest shows the cost per lb and per harvest of each crop, and the ALL CROPS line includes the shared costs.
4. Export PDF saves the report to print or share.
)"),
                      {"cost", "pound", "profit", "money", "walkthrough", "example"}));

    list.append(topic("trouble-notifications", "Troubleshooting: reminders or alerts don't appear",
                      u8(R"(
• In Settings & Backup, tick Reminders for schedules and maintenance and Climate alerts when a new reading is out of range, then choose Allow Notifications.
• When Settings & Backup says “Desktop notifications are turned off or unavailable.”, your desktop has no notification service running or has notifications switched off: check your desktop's notification settings.
• A job reminds you only when both Remind me (desktop notification) and Active are ticked.
• Do Not Disturb on your desktop hides notifications while it is on.
• Reminders are scheduled for the next 30 days and refreshed each time you open the app or change a job; they appear while QNMR Orvane is running.
)"),
                      {"notification", "reminder", "not working", "no alert", "silent",
                       "trouble"}));

    list.append(topic("trouble-csv", "Troubleshooting: CSV import problems", u8(R"(
• “No date/time column was found”: name the time column timestamp, or use separate date and time columns. The column names must be the first row: delete any title lines above them.
• “No reading columns were found”: name the columns temp_f, humidity, light, co2, soil_moisture, soil_temp_f, ph or ec (see “CSV import: file format”).
• “There is no zone named …”: add that zone under Greenhouses first, or fix the name in the file so it matches exactly.
• “The date/time … could not be read”: use one of the accepted forms, such as 2026-10-24 07:30.
• “The date … may be day-first” or “… is day-first”: the file writes the day before the month (24/10/2026). Save the dates as year-month-day (2026-10-24) and import the file again.
• “… is not a possible reading”: look for typos, or a °C file read as °F — tick Plain “temp” columns are in °C, or name the column temp_c.
• Nothing new was imported: those readings are already in the log (same zone and minute), so they were skipped as duplicates.
)"),
                      {"csv", "import", "error", "problem", "bad row", "trouble"}));

    list.append(topic("trouble-general", "Troubleshooting: other questions", u8(R"(
• Videos say “Needs internet”: this computer is offline. Everything else works without a connection.
• A plant has no location: its greenhouse, zone or bed was deleted. Open the plant and choose a new place.
• The expected harvest date is empty: choose a library match and a sowing or transplant date, then Fill From Crop Library.
• Undoing a restore: restore the “Before restore …sqlite” file from the data folder with Restore From Backup….
• Text too small or too large: View → Zoom In / Zoom Out (85% to 200%).
)"),
                      {"problem", "help", "missing", "video", "internet", "zoom", "trouble"}));

    list.append(topic("sensors", "Sensors, controllers and automation", u8(R"(
QNMR Orvane keeps records; it is not a controller. Every climate feature is labelled Manual entry / CSV import.
• It connects to no sensors, Wi-Fi gadgets or controllers.
• It never switches fans, heaters, vents, lights, pumps or anything else.
• Its alerts are warnings, not a safety system: keep a thermostat and an alarm for frost and heat.
If you have a data logger, export its readings as a CSV file and bring them in with Climate → Import CSV… (see “CSV import: file format”).
)"),
                      {"sensor", "automation", "controller", "hardware", "control", "wifi",
                       "thermostat"}));

    list.append(topic("shortcuts", "Keyboard shortcuts and menus", u8(R"(
• Ctrl+N new plant, Ctrl+Shift+R new climate reading, Ctrl+Shift+I import climate CSV.
• Ctrl+1 to Ctrl+9: Today, Greenhouses, Plants & Crops, Climate, Watering & Feeding, Maintenance, Harvests, Reports, Crop Library (the Go menu).
• Ctrl+Shift+B: back up now.
• Ctrl++ (or Ctrl+=), Ctrl+- and Ctrl+0: zoom in, zoom out and actual size (85% to 200%), also in the View menu.
• F1: Help. Ctrl+Q quits.
• The Theme menu lists every colour theme, including the application's two redwood themes.
)"),
                      {"keyboard", "shortcut", "menu", "keys", "command"}));

    list.append(topic("glossary", "Glossary", u8(R"(
• Zone: an area of a greenhouse with its own climate log and alert ranges.
• Bed or bench: a place inside a zone where plants grow.
• Days to maturity: the days from sowing or transplanting to the first harvest.
• Germination rate: the share of seeds in a test that sprouted, in percent.
• RH: relative humidity, the water in the air as a percentage of what the air could hold.
• EC: electrical conductivity, a measure of the salts (nutrients) in water or soil, in mS/cm.
• pH: acidity from 0 to 14; 7 is neutral, lower is acidic, higher is alkaline.
• CO₂: carbon dioxide in the air, in ppm (parts per million).
• Lux: the light falling on a surface.
• Glazing: the glass, plastic film or panels covering a greenhouse.
• Shared cost: a cost that belongs to no single crop, such as heating; reports list it apart.
)"),
                      {"glossary", "words", "meaning", "definition", "ec", "ph", "rh", "lux"}));

    list.append(topic("data-privacy", "Your data and privacy", u8(R"(
Everything you enter stays on this computer, in one database file in your data folder, normally ~/.local/share/QNMR Orvane/ (Settings & Backup shows the exact path; Show in File Manager opens it).
• Nothing is uploaded; there is no account and no cloud.
• The application goes online only to open the videos and source links you click, in your web browser.
• Backups and CSV exports are files you save wherever you choose.
)"),
                      {"privacy", "data", "where", "folder", "upload", "cloud", "safe"}));

    list.append(topic("faq", "Questions and answers", u8(R"(
## Can I keep more than one greenhouse?
Yes. Add as many as you like; each has its own zones, beds, benches and climate logs.
## Can I record flowers and houseplants?
Yes. Any plant can be recorded; the Crop Library simply has no entry for it.
## Does it work offline?
Yes, everything except the videos and the source links.
## Can I change °F to °C later?
Yes, at any time in Settings & Backup. Readings are stored exactly, so nothing is lost.
## Where do the crop numbers come from?
From university extension publications; see “Screen: Crop Library”.
)"),
                      {"faq", "question", "answer", "offline", "flowers", "multiple"}));

    return list;
}

} // namespace

const QList<QNMRHelpTopic>& topics()
{
    static const QList<QNMRHelpTopic> list = build();
    return list;
}

} // namespace OVHelp

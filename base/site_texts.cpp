#include "base/site_texts.h"

#include <iterator>

namespace fragtally {
namespace {

// The Russian texts are those the index page has always shown.
constexpr SiteTexts kRussian{
    .pageTitle = "Статистика матчей",
    .lead = "Матчи и игроки по всем отчётам этой папки",
    .totalMatches = "Матчей",
    .totalKills = "Убийств",
    .totalPlayers = "Игроков",
    .firstMatch = "Первый матч",
    .lastMatch = "Последний матч",
    .matchesHeading = "Матчи",
    .noMatches = "Матчей с убийствами пока нет.",
    .logsWithoutKills = "Логов без убийств (не показаны):",
    .columnDate = "Дата",
    .columnMap = "Карта",
    .columnRounds = "Раунды",
    .columnKills = "Убийств",
    .columnBestPlayer = "Лучший игрок",
    .columnPlayers = "Игроков",
    .columnStart = "Начало игры",
    .columnGameTime = "Игровое время",
    .columnReport = "Отчёт",
    .unknownMap = "(неизвестна)",
    .playersHeading = "Игроки",
    .columnRank = "№",
    .columnPlayer = "Игрок",
    .columnMatches = "Матчей",
    .columnDeaths = "Смертей",
    .columnKillsPerDeath = "Убийств на смерть",
    .columnFavouriteWeapon = "Любимое оружие",
    .columnBestMatch = "Лучший матч",
    .navMatches = "Матчи",
    .navPlayers = "Игроки",
    .navRating = "Рейтинг",
    .navAwards = "Награды",
    .navMaps = "Карты",
    .latestMatchesShown = "Показаны последние матчи:",
    .olderMatchesByMonth = "Все матчи по месяцам",
    .monthsHeading = "Матчи по месяцам",
    .topShown = "Показаны первые места:",
    .ofTotal = "из",
    .peopleListed = "Игроков:",
    .wholeRanking = "Весь рейтинг",
    .rankingTitle = "Рейтинг игроков",
    .monthTitle = "Матчи:",
    .undatedMonth = "без даты",
    .pagePart = "страница",
    .newerPage = "← Назад",
    .olderPage = "Дальше →",
    .pagesHeading = "Страницы:",
    .playerLatestMatches = "Показаны последние матчи:",
    .playerOlderMatches = "Более ранние матчи по месяцам (в скобках — сыгранные им):",
    .awardKills = "Больше всех убийств",
    .awardKillsPerDeath = "Лучшее соотношение убийств и смертей",
    .awardRatingGain = "Наибольший рост рейтинга",
    .awardSniperKills = "Лучший снайпер",
    .awardKnifeKills = "Мастер ножа",
    .awardGrenadeKills = "Гранатомётчик",
    .awardPistolKills = "Лучший с пистолетом",
    .awardHeadshots = "Больше всех попаданий в голову",
    .awardAccuracy = "Самый меткий",
    .awardBombsPlanted = "Больше всех заложенных бомб",
    .awardBombsDefused = "Больше всех обезвреженных бомб",
    .awardHostagesRescued = "Больше всех спасённых заложников",
    .awardTeamKills = "Худший товарищ по команде",
    .activityHeading = "Когда играют",
    .killsPerDayHeading = "Убийства по дням",
    .killsPerDayNote = "дней до последнего матча включительно; дни без игры — пустые столбцы.",
    .playerKillsPerDayNote = "дней до его последнего матча включительно; дни без игры — пустые столбцы.",
    .matchesByHourHeading = "Матчи по часам и дням недели",
    .matchesByHourNote = "Начало матча по часам сервера; чем ярче клетка, тем больше матчей.",
    .monday = "Пн",
    .tuesday = "Вт",
    .wednesday = "Ср",
    .thursday = "Чт",
    .friday = "Пт",
    .saturday = "Сб",
    .sunday = "Вс",
    .killsOne = "убийство",
    .killsFew = "убийства",
    .killsMany = "убийств",
    .matchesOne = "матч",
    .matchesFew = "матча",
    .matchesMany = "матчей",
    .roundsOne = "раунд",
    .roundsFew = "раунда",
    .roundsMany = "раундов",
    .mapsTitle = "Карты",
    .mapsLead = "Матчи, раунды сторон, убийства и оружие по каждой карте",
    .mapPopularity = "Популярность карт",
    .noMaps = "Карт пока нет.",
    .columnSideBalance = "Победы сторон",
    .columnPlayersPerMatch = "Игроков в матче",
    .columnTopWeapons = "Оружие",
    .footerBuiltBy = "Страница собрана программой",
    .decimalMark = ",",
    .percentSign = "\u00A0%",
    .datePattern = "D.M.Y",
    .weekFirstDayPattern = "D.M",
    .chartDayPattern = "D.M",
    .navRatingRules = "Как считается рейтинг",
    .totalActivePlayers = "Активных игроков",
    .awardsHeading = "Награды",
    .allAwardsLink = "Все награды по месяцам, неделям и дням",
    .rankingHeading = "Рейтинг игроков",
    .rankingNote = "Игроки, сыгравшие за {} дней до последнего матча, по рейтингу за вычетом двух отклонений; {}.",
    .rankingRulesLink = "как он считается",
    .noRankedYet = "Пока никто не сыграл нужного числа матчей.",
    .unrankedHeading = "Ещё без места в рейтинге",
    .unrankedNote = "Сыграли меньше {} матчей.",
    .inactiveHeading = "Давно не играли",
    .inactiveNote = "Последний матч больше {} дней до последнего матча на сервере; вернувшись, снова в рейтинге.",
    .columnPlace = "Место",
    .columnRating = "Рейтинг",
    .columnLastMatch = "Последний матч",
    .latestDayTitle = "День {}",
    .playerTitle = "{} — игрок",
    .cardRatingAfterLastDay = "Рейтинг после последней игры",
    .courseHeading = "Рейтинг по дням игры",
    .noCourse = "Дней игры пока нет.",
    .courseNote = "Рейтинг в конце каждого дня игры; точка подсказывает день и цифры. Сыграно {} встреч "
                  "(убийств врага и смертей от врага) с другими игроками.",
    .figuresHeading = "Итоги",
    .rowSuicides = "Самоубийств",
    .rowTeamKills = "Убийств своих",
    .rowAccuracy = "Точность (попаданий на выстрел)",
    .rowHeadshots = "Попаданий в голову",
    .rowDamage = "Урон",
    .rowBombsPlanted = "Бомб заложено",
    .rowBombsDefused = "Бомб обезврежено",
    .rowHostagesRescued = "Заложников спасено",
    .rowHostagesKilled = "Заложников убито",
    .rowRoundsWon = "Раундов выиграно",
    .noShotsNote = "Точность, попадания в голову и урон пишет не каждый сервер; здесь их нет.",
    .weaponsHeading = "Оружие",
    .columnWeapon = "Оружие",
    .columnShots = "Выстрелов",
    .columnHits = "Попаданий",
    .columnAccuracy = "Точность",
    .columnHeadshots = "В голову",
    .columnDamage = "Урон",
    .victimsHeading = "Чаще всего убивал",
    .noVictims = "Никого из игроков.",
    .killersHeading = "Чаще всего убивали его",
    .noKillers = "Никто из игроков.",
    .mapsHeading = "Карты",
    .namesHeading = "Имена",
    .noAwards = "Наград пока нет.",
    .columnPeriod = "Период",
    .columnAward = "Награда",
    .columnFigure = "Показатель",
    .sharedAward = "(поровну)",
    .awardsLead = "Лучшие игроки каждого месяца, недели и дня игры. При ничьей названы все победители; награды без "
                  "претендентов не показаны.",
    .byMonths = "По месяцам",
    .byWeeks = "По неделям",
    .byDays = "По дням",
    .weeksNote = "Последние {} недель игры; более ранние — в месяцах.",
    .daysNote = "Дни игры за последние {} дней до последнего дня с наградами; более ранние — в неделях и месяцах.",
    .weekTitle = "Неделя {} ({}–{})",
    .monthPeriodTitle = "{} {}",
    .january = "Январь",
    .february = "Февраль",
    .march = "Март",
    .april = "Апрель",
    .may = "Май",
    .june = "Июнь",
    .july = "Июль",
    .august = "Август",
    .september = "Сентябрь",
    .october = "Октябрь",
    .november = "Ноябрь",
    .december = "Декабрь",
    .ratingRulesLead = "Откуда берутся рейтинг, отклонение и место в рейтинге игроков",
    .ratingRulesHtml =
        "<section id=\"how\">\n<h2>Коротко</h2>\n<div class=\"text\">\n"
        "<p>Рейтинг считается по системе Глико-2 (Glicko-2) Марка Гликмана заново по всем матчам папки, "
        "от первого до последнего. У каждого игрока три числа:</p>\n<ul>\n"
        "<li><b>рейтинг</b> — оценка силы; у новичка 1500;</li>\n"
        "<li><b>отклонение</b> — насколько оценка неточна; у новичка 350, с каждой встречей оно уменьшается, "
        "а за дни без игры растёт (но не выше 350);</li>\n"
        "<li><b>волатильность</b> — насколько неровно игрок играет; у новичка 0,06.</li>\n</ul>\n"
        "<p>Рейтинг 1700 ± 60 значит: сила игрока почти наверняка между 1580 и 1820 (плюс-минус два "
        "отклонения).</p>\n</div>\n</section>\n"
        "<section id=\"games\">\n<h2>Что считается встречей</h2>\n<div class=\"text\">\n<ul>\n"
        "<li>Каждое убийство игрока из команды противника — встреча, которую убивший выиграл, а убитый "
        "проиграл.</li>\n"
        "<li>Убийства своих, самоубийства и любые убийства ботов или ботами в рейтинг не входят.</li>\n"
        "<li>Один день игры — один период рейтинга: все встречи дня считаются вместе, и каждый соперник "
        "берётся с рейтингом, каким он был до этого дня.</li>\n"
        "<li>За каждый день без встреч отклонение игрока растёт, как велит система: его оценка снова "
        "становится менее точной.</li>\n"
        "<li>Постоянная системы τ (тау) = {}: небольшая, чтобы один удачный или неудачный вечер не раскачивал "
        "волатильность.</li>\n"
        "</ul>\n</div>\n</section>\n"
        "<section id=\"ranking\">\n<h2>Место в рейтинге</h2>\n<div class=\"text\">\n"
        "<p>Игроки стоят в рейтинге по значению «рейтинг минус два отклонения». Так игрок, сыгравший мало, "
        "не окажется выше того, чья сила подтверждена многими встречами: у первого отклонение велико, и "
        "его место осторожно занижено. Чем больше он играет, тем ближе место к его рейтингу.</p>\n"
        "<p>Место получает тот, кто сыграл не меньше {} матчей; остальные перечислены отдельно под рейтингом.</p>\n"
        "<p>Игрок узнаётся по его Steam ID, а где сервер его не даёт (игра по локальной сети) — по имени; "
        "так, если администратор не настроил иначе. "
        "Администратор может объединить записи одного человека, скрыть игрока или дать ему имя в файле "
        "players.txt в папке статистики.</p>\n</div>\n</section>\n",
    .ratingExampleHtml =
        "<section id=\"example\">\n<h2>Пример</h2>\n<div class=\"text\">\n"
        "<p>Пример из статьи Марка Гликмана, автора системы (там τ = 0,5). Игрок с рейтингом 1500, "
        "отклонением 200 и волатильностью 0,06 за один день сыграл три встречи:</p>\n</div>\n"
        "<div class=\"box\">\n<table>\n<thead><tr><th>Соперник</th><th class=\"n\">Рейтинг</th>"
        "<th class=\"n\">Отклонение</th><th>Итог</th></tr></thead>\n<tbody>\n"
        "<tr><td>первый</td><td class=\"n\">1400</td><td class=\"n\">30</td><td>победа (он убил соперника)</td></tr>\n"
        "<tr><td>второй</td><td class=\"n\">1550</td><td class=\"n\">100</td><td>поражение</td></tr>\n"
        "<tr><td>третий</td><td class=\"n\">1700</td><td class=\"n\">300</td><td>поражение</td></tr>\n"
        "</tbody>\n</table>\n</div>\n<div class=\"text\">\n<p>После дня у него рейтинг <b>{}</b>, отклонение "
        "<b>{}</b> и волатильность <b>{}</b> (в статье — 1464,06, 151,52 и 0,05999: она округляет промежуточные "
        "числа). Рейтинг упал: от игрока с 1500 против таких соперников ждали чуть больше одной победы "
        "из трёх. Отклонение заметно уменьшилось: три встречи многое сказали о его силе. Больше всего "
        "рейтинг сдвинули встречи с надёжно оценёнными соперниками (малое отклонение), меньше всего — "
        "поражение от третьего, чей рейтинг пока мало что значит.</p>\n</div>\n</section>\n",
};

constexpr SiteTexts kEnglish{
    .pageTitle = "Match statistics",
    .lead = "Matches and players across every report in this folder",
    .totalMatches = "Matches",
    .totalKills = "Kills",
    .totalPlayers = "Players",
    .firstMatch = "First match",
    .lastMatch = "Last match",
    .matchesHeading = "Matches",
    .noMatches = "No matches with kills yet.",
    .logsWithoutKills = "Logs without kills (not shown):",
    .columnDate = "Date",
    .columnMap = "Map",
    .columnRounds = "Rounds",
    .columnKills = "Kills",
    .columnBestPlayer = "Best player",
    .columnPlayers = "Players",
    .columnStart = "Start",
    .columnGameTime = "Game time",
    .columnReport = "Report",
    .unknownMap = "(unknown)",
    .playersHeading = "Players",
    .columnRank = "#",
    .columnPlayer = "Player",
    .columnMatches = "Matches",
    .columnDeaths = "Deaths",
    .columnKillsPerDeath = "Kills per death",
    .columnFavouriteWeapon = "Favourite weapon",
    .columnBestMatch = "Best match",
    .navMatches = "Matches",
    .navPlayers = "Players",
    .navRating = "Rating",
    .navAwards = "Awards",
    .navMaps = "Maps",
    .latestMatchesShown = "The latest matches shown:",
    .olderMatchesByMonth = "Every match by month",
    .monthsHeading = "Matches by month",
    .topShown = "The top places shown:",
    .ofTotal = "of",
    .peopleListed = "Players:",
    .wholeRanking = "The whole ranking",
    .rankingTitle = "Player ranking",
    .monthTitle = "Matches:",
    .undatedMonth = "no date",
    .pagePart = "page",
    .newerPage = "← Back",
    .olderPage = "Next →",
    .pagesHeading = "Pages:",
    .playerLatestMatches = "The latest matches shown:",
    .playerOlderMatches = "Earlier matches by month (his own in brackets):",
    .awardKills = "Most kills",
    .awardKillsPerDeath = "Best kills per death",
    .awardRatingGain = "Biggest rating gain",
    .awardSniperKills = "Best sniper",
    .awardKnifeKills = "Knife master",
    .awardGrenadeKills = "Grenadier",
    .awardPistolKills = "Best with pistols",
    .awardHeadshots = "Most headshots",
    .awardAccuracy = "Best accuracy",
    .awardBombsPlanted = "Most bombs planted",
    .awardBombsDefused = "Most bombs defused",
    .awardHostagesRescued = "Most hostages rescued",
    .awardTeamKills = "Worst team mate",
    .activityHeading = "When people play",
    .killsPerDayHeading = "Kills per day",
    .killsPerDayNote = "days up to the last match; days without play are empty columns.",
    .playerKillsPerDayNote = "days up to his last match; days without play are empty columns.",
    .matchesByHourHeading = "Matches by hour and day of the week",
    .matchesByHourNote = "Match start by the server clock; the brighter the cell, the more matches.",
    .monday = "Mon",
    .tuesday = "Tue",
    .wednesday = "Wed",
    .thursday = "Thu",
    .friday = "Fri",
    .saturday = "Sat",
    .sunday = "Sun",
    .killsOne = "kill",
    .killsFew = "kills",
    .killsMany = "kills",
    .matchesOne = "match",
    .matchesFew = "matches",
    .matchesMany = "matches",
    .roundsOne = "round",
    .roundsFew = "rounds",
    .roundsMany = "rounds",
    .mapsTitle = "Maps",
    .mapsLead = "Matches, rounds won by each side, kills and weapons on every map",
    .mapPopularity = "Map popularity",
    .noMaps = "No maps yet.",
    .columnSideBalance = "Side balance",
    .columnPlayersPerMatch = "Players per match",
    .columnTopWeapons = "Weapons",
    .footerBuiltBy = "Page built by",
    .decimalMark = ".",
    .percentSign = "%",
    .datePattern = "Y-M-D",
    .weekFirstDayPattern = "Y-M-D",
    .chartDayPattern = "M-D",
    .navRatingRules = "How the rating works",
    .totalActivePlayers = "Active players",
    .awardsHeading = "Awards",
    .allAwardsLink = "Every award by month, week and day",
    .rankingHeading = "Player ranking",
    .rankingNote = "Players who played within {} days of the latest match, by rating less two deviations; {}.",
    .rankingRulesLink = "how it is worked out",
    .noRankedYet = "Nobody has played enough matches yet.",
    .unrankedHeading = "Not ranked yet",
    .unrankedNote = "Played fewer than {} matches.",
    .inactiveHeading = "Not seen lately",
    .inactiveNote = "Last match more than {} days before the latest match on the server; ranked again once back.",
    .columnPlace = "Place",
    .columnRating = "Rating",
    .columnLastMatch = "Last match",
    .latestDayTitle = "Day {}",
    .playerTitle = "{} — player",
    .cardRatingAfterLastDay = "Rating after his last day of play",
    .courseHeading = "Rating by day of play",
    .noCourse = "No days of play yet.",
    .courseNote = "The rating at the end of each day of play; a point shows its day and figures. Played: {} "
                  "games (enemy kills and deaths by an enemy) against other players.",
    .figuresHeading = "Totals",
    .rowSuicides = "Suicides",
    .rowTeamKills = "Team kills",
    .rowAccuracy = "Accuracy (hits per shot)",
    .rowHeadshots = "Headshots",
    .rowDamage = "Damage",
    .rowBombsPlanted = "Bombs planted",
    .rowBombsDefused = "Bombs defused",
    .rowHostagesRescued = "Hostages rescued",
    .rowHostagesKilled = "Hostages killed",
    .rowRoundsWon = "Rounds won",
    .noShotsNote = "Not every server writes accuracy, headshots and damage; this one did not.",
    .weaponsHeading = "Weapons",
    .columnWeapon = "Weapon",
    .columnShots = "Shots",
    .columnHits = "Hits",
    .columnAccuracy = "Accuracy",
    .columnHeadshots = "Headshots",
    .columnDamage = "Damage",
    .victimsHeading = "Killed most",
    .noVictims = "No players.",
    .killersHeading = "Killed by most",
    .noKillers = "No players.",
    .mapsHeading = "Maps",
    .namesHeading = "Names",
    .noAwards = "No awards yet.",
    .columnPeriod = "Period",
    .columnAward = "Award",
    .columnFigure = "Figure",
    .sharedAward = "(shared)",
    .awardsLead = "The best players of every month, week and day of play. A tie names every winner; awards nobody "
                  "qualified for are left out.",
    .byMonths = "By month",
    .byWeeks = "By week",
    .byDays = "By day",
    .weeksNote = "The last {} weeks of play; earlier ones are in the months.",
    .daysNote = "Days of play within {} days of the latest day with awards; earlier ones are in the weeks and months.",
    .weekTitle = "Week {} ({} to {})",
    .monthPeriodTitle = "{} {}",
    .january = "January",
    .february = "February",
    .march = "March",
    .april = "April",
    .may = "May",
    .june = "June",
    .july = "July",
    .august = "August",
    .september = "September",
    .october = "October",
    .november = "November",
    .december = "December",
    .ratingRulesLead = "Where the ratings, deviations and places in the ranking of players come from",
    .ratingRulesHtml =
        "<section id=\"how\">\n<h2>In short</h2>\n<div class=\"text\">\n"
        "<p>The rating is Mark Glickman's Glicko-2 system, worked out afresh over every match of the folder, "
        "from the first to the last. Every player has three figures:</p>\n<ul>\n"
        "<li><b>rating</b>: how strong he is thought to be; 1500 for a newcomer;</li>\n"
        "<li><b>deviation</b>: how uncertain that is; 350 for a newcomer, less with every game, and more for "
        "every day without play (never above 350);</li>\n"
        "<li><b>volatility</b>: how unevenly he plays; 0.06 for a newcomer.</li>\n</ul>\n"
        "<p>A rating of 1700 ± 60 means the player's strength is almost surely between 1580 and 1820 (two "
        "deviations either way).</p>\n</div>\n</section>\n"
        "<section id=\"games\">\n<h2>What counts as a game</h2>\n<div class=\"text\">\n<ul>\n"
        "<li>Every kill of a player of the other team is a game the killer won and the victim lost.</li>\n"
        "<li>Team kills, suicides and any kill of or by a bot are left out of the rating.</li>\n"
        "<li>One day of play is one rating period: the day's games count together, each opponent with the "
        "rating he had before that day.</li>\n"
        "<li>For every day without games a player's deviation grows, as the system says: his rating becomes "
        "less certain again.</li>\n"
        "<li>The system's constant τ (tau) = {}: small, so that one lucky or unlucky evening does not swing "
        "the volatility.</li>\n"
        "</ul>\n</div>\n</section>\n"
        "<section id=\"ranking\">\n<h2>Place in the ranking</h2>\n<div class=\"text\">\n"
        "<p>Players are ranked by their rating less two deviations. So a player with few games does not "
        "rank above one whose strength many games have shown: the first has a large deviation, and his place "
        "is cautiously lower. The more he plays, the closer his place comes to his rating.</p>\n"
        "<p>A player is ranked once he has played at least {} matches; the others are listed apart below the "
        "ranking.</p>\n"
        "<p>A player is known by his Steam ID, and where the server gives none (a game over a local network) "
        "by his name, unless the admin set it otherwise. "
        "The admin can merge one person's entries, hide a player or give him a name in the file players.txt "
        "in the statistics folder.</p>\n</div>\n</section>\n",
    .ratingExampleHtml =
        "<section id=\"example\">\n<h2>Example</h2>\n<div class=\"text\">\n"
        "<p>The example from Mark Glickman's paper on the system (with τ = 0.5). A player rated 1500, with a "
        "deviation of 200 and a volatility of 0.06, plays three games in one day:</p>\n</div>\n"
        "<div class=\"box\">\n<table>\n<thead><tr><th>Opponent</th><th class=\"n\">Rating</th>"
        "<th class=\"n\">Deviation</th><th>Result</th></tr></thead>\n<tbody>\n"
        "<tr><td>first</td><td class=\"n\">1400</td><td class=\"n\">30</td><td>win (he killed the opponent)</td></tr>\n"
        "<tr><td>second</td><td class=\"n\">1550</td><td class=\"n\">100</td><td>loss</td></tr>\n"
        "<tr><td>third</td><td class=\"n\">1700</td><td class=\"n\">300</td><td>loss</td></tr>\n"
        "</tbody>\n</table>\n</div>\n<div class=\"text\">\n<p>After the day his rating is <b>{}</b>, his "
        "deviation <b>{}</b> and his volatility <b>{}</b> (the paper gives 1464.06, 151.52 and 0.05999: it "
        "rounds the figures between the steps). The rating fell: a 1500 player against such opponents was "
        "expected to win a little more than one game in three. The deviation shrank a good deal: three games "
        "told much about his strength. The games against well-known opponents (a small deviation) moved the "
        "rating most, and the loss to the third, whose rating means little yet, moved it least.</p>\n"
        "</div>\n</section>\n",
};

constexpr std::string_view SiteTexts::* kMembers[] = {
    &SiteTexts::pageTitle,         &SiteTexts::lead,
    &SiteTexts::totalMatches,      &SiteTexts::totalKills,
    &SiteTexts::totalPlayers,      &SiteTexts::firstMatch,
    &SiteTexts::lastMatch,         &SiteTexts::matchesHeading,
    &SiteTexts::noMatches,         &SiteTexts::logsWithoutKills,
    &SiteTexts::columnDate,        &SiteTexts::columnMap,
    &SiteTexts::columnRounds,      &SiteTexts::columnKills,
    &SiteTexts::columnBestPlayer,  &SiteTexts::columnPlayers,
    &SiteTexts::columnStart,       &SiteTexts::columnGameTime,
    &SiteTexts::columnReport,      &SiteTexts::unknownMap,
    &SiteTexts::playersHeading,    &SiteTexts::columnRank,
    &SiteTexts::columnPlayer,      &SiteTexts::columnMatches,
    &SiteTexts::columnDeaths,      &SiteTexts::columnKillsPerDeath,
    &SiteTexts::columnFavouriteWeapon, &SiteTexts::columnBestMatch,
    &SiteTexts::navMatches,        &SiteTexts::navPlayers,
    &SiteTexts::navRating,         &SiteTexts::navAwards,
    &SiteTexts::navMaps,
    &SiteTexts::latestMatchesShown, &SiteTexts::olderMatchesByMonth,
    &SiteTexts::monthsHeading,     &SiteTexts::topShown,
    &SiteTexts::ofTotal,           &SiteTexts::peopleListed,
    &SiteTexts::wholeRanking,      &SiteTexts::rankingTitle,
    &SiteTexts::monthTitle,        &SiteTexts::undatedMonth,
    &SiteTexts::pagePart,          &SiteTexts::newerPage,
    &SiteTexts::olderPage,         &SiteTexts::pagesHeading,
    &SiteTexts::playerLatestMatches, &SiteTexts::playerOlderMatches,
    &SiteTexts::awardKills,        &SiteTexts::awardKillsPerDeath,
    &SiteTexts::awardRatingGain,   &SiteTexts::awardSniperKills,
    &SiteTexts::awardKnifeKills,   &SiteTexts::awardGrenadeKills,
    &SiteTexts::awardPistolKills,  &SiteTexts::awardHeadshots,
    &SiteTexts::awardAccuracy,     &SiteTexts::awardBombsPlanted,
    &SiteTexts::awardBombsDefused, &SiteTexts::awardHostagesRescued,
    &SiteTexts::awardTeamKills,
    &SiteTexts::activityHeading,   &SiteTexts::killsPerDayHeading,
    &SiteTexts::killsPerDayNote,   &SiteTexts::playerKillsPerDayNote,
    &SiteTexts::matchesByHourHeading, &SiteTexts::matchesByHourNote,
    &SiteTexts::monday,            &SiteTexts::tuesday,
    &SiteTexts::wednesday,         &SiteTexts::thursday,
    &SiteTexts::friday,            &SiteTexts::saturday,
    &SiteTexts::sunday,
    &SiteTexts::killsOne,          &SiteTexts::killsFew,
    &SiteTexts::killsMany,         &SiteTexts::matchesOne,
    &SiteTexts::matchesFew,        &SiteTexts::matchesMany,
    &SiteTexts::roundsOne,         &SiteTexts::roundsFew,
    &SiteTexts::roundsMany,
    &SiteTexts::mapsTitle,         &SiteTexts::mapsLead,
    &SiteTexts::mapPopularity,     &SiteTexts::noMaps,
    &SiteTexts::columnSideBalance, &SiteTexts::columnPlayersPerMatch,
    &SiteTexts::columnTopWeapons,  &SiteTexts::footerBuiltBy,
    &SiteTexts::decimalMark,
    &SiteTexts::percentSign,
    &SiteTexts::datePattern,
    &SiteTexts::weekFirstDayPattern,
    &SiteTexts::chartDayPattern,
    &SiteTexts::navRatingRules,
    &SiteTexts::totalActivePlayers,
    &SiteTexts::awardsHeading,
    &SiteTexts::allAwardsLink,
    &SiteTexts::rankingHeading,
    &SiteTexts::rankingNote,
    &SiteTexts::rankingRulesLink,
    &SiteTexts::noRankedYet,
    &SiteTexts::unrankedHeading,
    &SiteTexts::unrankedNote,
    &SiteTexts::inactiveHeading,
    &SiteTexts::inactiveNote,
    &SiteTexts::columnPlace,
    &SiteTexts::columnRating,
    &SiteTexts::columnLastMatch,
    &SiteTexts::latestDayTitle,
    &SiteTexts::playerTitle,
    &SiteTexts::cardRatingAfterLastDay,
    &SiteTexts::courseHeading,
    &SiteTexts::noCourse,
    &SiteTexts::courseNote,
    &SiteTexts::figuresHeading,
    &SiteTexts::rowSuicides,
    &SiteTexts::rowTeamKills,
    &SiteTexts::rowAccuracy,
    &SiteTexts::rowHeadshots,
    &SiteTexts::rowDamage,
    &SiteTexts::rowBombsPlanted,
    &SiteTexts::rowBombsDefused,
    &SiteTexts::rowHostagesRescued,
    &SiteTexts::rowHostagesKilled,
    &SiteTexts::rowRoundsWon,
    &SiteTexts::noShotsNote,
    &SiteTexts::weaponsHeading,
    &SiteTexts::columnWeapon,
    &SiteTexts::columnShots,
    &SiteTexts::columnHits,
    &SiteTexts::columnAccuracy,
    &SiteTexts::columnHeadshots,
    &SiteTexts::columnDamage,
    &SiteTexts::victimsHeading,
    &SiteTexts::noVictims,
    &SiteTexts::killersHeading,
    &SiteTexts::noKillers,
    &SiteTexts::mapsHeading,
    &SiteTexts::namesHeading,
    &SiteTexts::noAwards,
    &SiteTexts::columnPeriod,
    &SiteTexts::columnAward,
    &SiteTexts::columnFigure,
    &SiteTexts::sharedAward,
    &SiteTexts::awardsLead,
    &SiteTexts::byMonths,
    &SiteTexts::byWeeks,
    &SiteTexts::byDays,
    &SiteTexts::weeksNote,
    &SiteTexts::daysNote,
    &SiteTexts::weekTitle,
    &SiteTexts::monthPeriodTitle,
    &SiteTexts::january,
    &SiteTexts::february,
    &SiteTexts::march,
    &SiteTexts::april,
    &SiteTexts::may,
    &SiteTexts::june,
    &SiteTexts::july,
    &SiteTexts::august,
    &SiteTexts::september,
    &SiteTexts::october,
    &SiteTexts::november,
    &SiteTexts::december,
    &SiteTexts::ratingRulesLead,
};
constexpr std::string_view SiteTexts::* kHtmlMembers[] = {&SiteTexts::ratingRulesHtml, &SiteTexts::ratingExampleHtml};
// A member added to the struct and not listed here would escape the check of
// the tables; the struct holds nothing but texts, so its size tells.
static_assert(sizeof(SiteTexts) == (std::size(kMembers) + std::size(kHtmlMembers)) * sizeof(std::string_view));

}  // namespace

const SiteTexts& siteTexts(SiteLanguage language) {
  switch (language) {
    case SiteLanguage::English: return kEnglish;
    case SiteLanguage::Russian: break;
  }
  return kRussian;
}

std::string_view countedNoun(SiteLanguage language, std::int64_t count, std::string_view one, std::string_view few,
                             std::string_view many) {
  const std::uint64_t whole = count < 0 ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
  switch (language) {
    case SiteLanguage::English: return whole == 1 ? one : many;
    case SiteLanguage::Russian: break;
  }
  const std::uint64_t last = whole % 10;
  const std::uint64_t lastTwo = whole % 100;
  if (last == 1 && lastTwo != 11) return one;
  if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) return few;
  return many;
}

std::span<std::string_view SiteTexts::* const> siteTextMembers() { return kMembers; }

std::span<std::string_view SiteTexts::* const> siteHtmlTextMembers() { return kHtmlMembers; }

std::string fillText(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string filled;
  filled.reserve(text.size() + 32);
  const std::string_view* value = values.begin();
  for (std::size_t at = 0;;) {
    const std::size_t hole = text.find("{}", at);
    filled.append(text.substr(at, hole - at));
    if (hole == std::string_view::npos) break;
    if (value != values.end()) filled.append(*value++);
    at = hole + 2;
  }
  return filled;
}

std::string dateText(std::string_view pattern, int year, int month, int day) {
  // Fixed widths, as the dates of the log are written: 0001-01-01, 08.12.2026.
  const auto digits = [](std::string& text, int value, int width) {
    char buffer[16];
    int length = 0;
    for (unsigned rest = value < 0 ? 0u : static_cast<unsigned>(value); rest != 0 || length < width; rest /= 10) {
      buffer[length++] = static_cast<char>('0' + rest % 10);
      if (length == static_cast<int>(sizeof buffer)) break;
    }
    while (length > 0) text += buffer[--length];
  };
  std::string text;
  for (const char c : pattern) {
    switch (c) {
      case 'Y': digits(text, year, 4); break;
      case 'M': digits(text, month, 2); break;
      case 'D': digits(text, day, 2); break;
      default: text += c;
    }
  }
  return text;
}

std::string_view monthName(const SiteTexts& texts, int month) {
  static constexpr std::string_view SiteTexts::* kMonths[] = {
      &SiteTexts::january, &SiteTexts::february, &SiteTexts::march,     &SiteTexts::april,
      &SiteTexts::may,     &SiteTexts::june,     &SiteTexts::july,      &SiteTexts::august,
      &SiteTexts::september, &SiteTexts::october, &SiteTexts::november, &SiteTexts::december};
  return texts.*kMonths[static_cast<unsigned>(month - 1) % 12];
}

}  // namespace fragtally

#include "site/rating_page.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "index/index_html.h"
#include "players/glicko2.h"
#include "players/rating_run.h"
#include "version.h"

namespace fragtally {
namespace {

// Glickman's own example: a player of 1500 / 200 / 0.06 who beats a 1400 / 30
// and loses to a 1550 / 100 and a 1700 / 300, with τ = 0.5.
constexpr double kExampleTau = 0.5;

/// A figure with `decimals` decimals and a decimal comma, as a Russian reader writes it.
std::string decimal(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  std::string result = text;
  for (char& c : result) {
    if (c == '.') c = ',';
  }
  return result;
}

void appendExample(std::string& page) {
  const Glicko2Rating player{1500.0, 200.0, 0.06};
  const std::array<Glicko2Game, 3> games = {Glicko2Game{Glicko2Rating{1400.0, 30.0, 0.06}, 1.0, 1},
                                            Glicko2Game{Glicko2Rating{1550.0, 100.0, 0.06}, 0.0, 1},
                                            Glicko2Game{Glicko2Rating{1700.0, 300.0, 0.06}, 0.0, 1}};
  const Glicko2Rating after = ratePeriod(player, games, kExampleTau);
  page += "<section id=\"example\">\n<h2>Пример</h2>\n<div class=\"text\">\n"
          "<p>Пример из статьи Марка Гликмана, автора системы (там τ = 0,5). Игрок с рейтингом 1500, "
          "отклонением 200 и волатильностью 0,06 за один день сыграл три встречи:</p>\n</div>\n"
          "<div class=\"box\">\n<table>\n<thead><tr><th>Соперник</th><th class=\"n\">Рейтинг</th>"
          "<th class=\"n\">Отклонение</th><th>Итог</th></tr></thead>\n<tbody>\n"
          "<tr><td>первый</td><td class=\"n\">1400</td><td class=\"n\">30</td><td>победа (он убил соперника)</td></tr>\n"
          "<tr><td>второй</td><td class=\"n\">1550</td><td class=\"n\">100</td><td>поражение</td></tr>\n"
          "<tr><td>третий</td><td class=\"n\">1700</td><td class=\"n\">300</td><td>поражение</td></tr>\n"
          "</tbody>\n</table>\n</div>\n<div class=\"text\">\n<p>После дня у него рейтинг <b>";
  page += decimal(after.rating, 2);
  page += "</b>, отклонение <b>";
  page += decimal(after.deviation, 2);
  page += "</b> и волатильность <b>";
  // Cut, not rounded, as the paper gives it: 0.059996 is still below 0.06.
  page += decimal(std::floor(after.volatility * 100000.0) / 100000.0, 5);
  page += "</b> (в статье — 1464,06, 151,52 и 0,05999: она округляет промежуточные числа). Рейтинг упал: от игрока с 1500 против таких соперников ждали чуть больше одной победы "
          "из трёх. Отклонение заметно уменьшилось: три встречи многое сказали о его силе. Больше всего "
          "рейтинг сдвинули встречи с надёжно оценёнными соперниками (малое отклонение), меньше всего — "
          "поражение от третьего, чей рейтинг пока мало что значит.</p>\n</div>\n</section>\n";
}

}  // namespace

std::string buildRatingPage(std::int64_t minMatches) {
  std::string page;
  page.reserve(12000);
  appendSitePageStart(page, "Как считается рейтинг", SitePage::rating, "");
  page += "<header>\n<h1>Как считается рейтинг</h1>\n"
          "<p class=\"lead\">Откуда берутся рейтинг, отклонение и место в рейтинге игроков</p>\n</header>\n"
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
          "<li>Постоянная системы τ (тау) = ";
  page += decimal(kRatingTau, 1);
  page += ": небольшая, чтобы один удачный или неудачный вечер не раскачивал волатильность.</li>\n"
          "</ul>\n</div>\n</section>\n"
          "<section id=\"ranking\">\n<h2>Место в рейтинге</h2>\n<div class=\"text\">\n"
          "<p>Игроки стоят в рейтинге по значению «рейтинг минус два отклонения». Так игрок, сыгравший мало, "
          "не окажется выше того, чья сила подтверждена многими встречами: у первого отклонение велико, и "
          "его место осторожно занижено. Чем больше он играет, тем ближе место к его рейтингу.</p>\n"
          "<p>Место получает тот, кто сыграл не меньше ";
  appendGroupedCount(page, minMatches);
  page += " матчей; остальные перечислены отдельно под рейтингом.</p>\n"
          "<p>Игрок узнаётся по его Steam ID, а где сервер его не даёт (игра по локальной сети) — по имени; "
          "так, если администратор не настроил иначе. "
          "Администратор может объединить записи одного человека, скрыть игрока или дать ему имя в файле "
          "players.txt в папке статистики.</p>\n</div>\n</section>\n";
  appendExample(page);
  page += "<footer>Страница собрана программой fragtally " FRAGTALLY_VERSION_TEXT "</footer>\n</main>\n</body>\n</html>\n";
  return page;
}

}  // namespace fragtally

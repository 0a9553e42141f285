// qxtool netplay: a headless network player for bots, tests and tournaments.
#ifdef QX_HAVE_NETPLAY

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QTimer>

#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "engine/ImpulseDriver.h"
#include "engine/QuorvexEngine.h"
#include "engine/SavedGame.h"
#include "net/KyrelConnection.h"
#include "net/RealTimeEngine.h"
#include "net/StringEncryptor.h"
#include "net/game/GameSubject.h"
#include "net/game/NetworkGame.h"
#include "net/qt/QtKyrelTransport.h"
#include "net/qt/QtMainThreadExecutor.h"
#include "scenario/ScriptsModule.h"

namespace qx::tool {

namespace {

const char* const kHelp =
    "Usage: qxtool netplay --server HOST:PORT --user NAME --password PW [--new-user]\n"
    "                      (--host SCENARIO --game NAME --humans N [--computers C] | --join NAME)\n"
    "                      [--brain FILE] [--seed S] [--interval MS] [--max-impulses N] [--save FILE]\n"
    "Plays one network game through a Quorvex lobby server without a window. It logs in (or creates\n"
    "the user with --new-user), then hosts a game on the galaxy SCENARIO makes or joins the game\n"
    "called NAME (waiting for it to be created). The player's slot is played by a brain whose orders\n"
    "go through the impulse clock as clicks would. A player who is out of the game follows it to the\n"
    "end. Prints progress every 100 impulses, then the same VICTORY or NO VICTOR line as qxtool duel,\n"
    "and last the line DIGEST and the SHA-256 of the final game state text in hex.\n"
    "Options:\n"
    "  --server HOST:PORT  the lobby server (quorvex-lobby)\n"
    "  --user NAME         the user name; --password PW its password\n"
    "  --new-user          create the user first\n"
    "  --host SCENARIO     host a new game on the galaxy of this scenario file, called --game NAME,\n"
    "                      for --humans N human players (2..10, this one included) and --computers C\n"
    "                      computer players (default 0) playing the built-in brain\n"
    "  --join NAME         join the game called NAME\n"
    "  --brain FILE        the brain that plays this player (default the built-in Defender)\n"
    "  --seed S            seed of the rules generator (galaxy and master's rules)\n"
    "  --interval MS       impulse length in milliseconds (default 1000)\n"
    "  --max-impulses N    end the game after impulse N (default 10000)\n"
    "  --save FILE         save the final game (scrambled when FILE ends in .qx)\n";

constexpr int kProgressEvery = 100;
constexpr int kWaitForGameSeconds = 600;

struct TOptions {
    std::string Host;
    int Port = 0;
    std::string User, Password;
    bool NewUser = false;
    std::string Scenario, Game, Join;
    int Humans = 2, Computers = 0;
    std::string Brain;
    int64_t Seed = 0;
    int Interval = 1000;
    int64_t MaxImpulses = 10000;
    std::string Save;
};

TOptions ReadOptions(Arguments& args) {
    TOptions o;
    const std::optional<std::string> server = args.Value("--server");
    if (!server) throw ToolError{"--server HOST:PORT is needed", 2};
    const size_t colon = server->rfind(':');
    if (colon == std::string::npos || colon == 0) throw ToolError{"--server must be HOST:PORT, not " + *server, 2};
    o.Host = server->substr(0, colon);
    o.Port = static_cast<int>(ParseInt("--server port", server->substr(colon + 1), 1, 65535));
    const auto user = args.Value("--user");
    const auto password = args.Value("--password");
    if (!user || !password) throw ToolError{"--user and --password are needed", 2};
    o.User = *user;
    o.Password = *password;
    if (!TKyrelUser::IsValidUserId(o.User))
        throw ToolError{"user names are 1 to 24 characters without separators: " + o.User, 2};
    o.NewUser = args.Flag("--new-user");
    const auto scenario = args.Value("--host");
    const auto join = args.Value("--join");
    if (scenario.has_value() == join.has_value()) throw ToolError{"give either --host SCENARIO or --join NAME", 2};
    if (scenario) {
        o.Scenario = *scenario;
        const auto game = args.Value("--game");
        if (!game || game->empty()) throw ToolError{"--host needs --game NAME", 2};
        o.Game = *game;
        if (o.Game.find_first_of(";|^`\\~") != std::string::npos)
            throw ToolError{"game names cannot contain ; | ^ ` \\ or ~", 2};
        o.Humans = static_cast<int>(args.Int("--humans", 2, 1, 10));
        o.Computers = static_cast<int>(args.Int("--computers", 0, 0, 9));
        if (o.Humans + o.Computers < 2 || o.Humans + o.Computers > 10)
            throw ToolError{"a game has 2 to 10 players", 2};
    } else {
        o.Join = *join;
    }
    o.Brain = args.Value("--brain").value_or("");
    o.Seed = args.Int("--seed", static_cast<int64_t>(std::random_device{}() >> 1), 0, INT64_MAX);
    o.Interval = static_cast<int>(args.Int("--interval", 1000, 0, 600000));
    o.MaxImpulses = args.Int("--max-impulses", 10000, 1, 100000000);
    o.Save = args.Value("--save").value_or("");
    args.Positional(0, 0);
    return o;
}

void Say(const std::string& line) { std::cout << line << std::endl; }

int Run(const std::vector<std::string>& argv) {
    Arguments args(argv);
    if (args.WantsHelp()) {
        std::cout << kHelp;
        return 0;
    }
    const TOptions o = ReadOptions(args);
    std::string scenarioText;
    if (!o.Scenario.empty()) scenarioText = ReadTextFile(o.Scenario);
    if (!o.Brain.empty()) ReadTextFile(o.Brain);  // a missing brain file is a mistake here

    int qtArgc = 1;
    char qtName[] = "qxtool";
    char* qtArgv[] = {qtName, nullptr};
    QCoreApplication app(qtArgc, qtArgv);

    auto executor = std::make_shared<TQtMainThreadExecutor>();
    TQtKyrelTransport transport;
    TKyrelConnection kyrel(transport);
    TStringEncryptor encryptor(kGameKey);
    kyrel.UseEncryptor(&encryptor);
    kyrel.SetHost(o.Host);
    kyrel.SetPort(o.Port);
    kyrel.SetSubjectCode("Quorvex");

    TQuorvexEngine engine;
    engine.RulesRandom.Seed(static_cast<uint64_t>(o.Seed));
    TdmScripts scripts;
    scripts.OnBrainMessage = [](const std::string& message) { std::cerr << message << "\n"; };
    TRealTimeEngine clock(executor);
    clock.Interval = o.Interval;
    TImpulseDriver driver(engine);
    TNetworkGame game(engine, scripts, clock, kyrel, driver);

    int status = -1;
    std::string failure;
    auto finish = [&](int code, const std::string& why) {
        if (status >= 0) return;
        status = code;
        failure = why;
        QTimer::singleShot(0, &app, [&app, code] { app.exit(code); });
    };

    // This player's slot: a brain that reads the game as this machine sees
    // it and sends its orders through the clock. Its memory and file stay
    // out of the game state, which every machine must hold alike.
    TBrainData brainData;
    auto previousBefore = clock.BeforeProcess;
    clock.BeforeProcess = [&, previousBefore](TObject* sender) {
        previousBefore(sender);
        TPlayer* me = engine.CurrentPlayer;
        if (!me || !me->Alive || ((clock.Impulse() % 10) + 10) % 10 != me->Index) return;
        std::swap(me->BrainData, brainData);
        std::string file = o.Brain;
        std::swap(me->BrainFile, file);
        TRealTimeEngine* link = engine.RealTimeEngine;
        engine.RealTimeEngine = nullptr;  // its memory records no change
        scripts.OrderSink = [&clock](TPlayer*, const std::string& order) { clock.AddOrder(order); };
        scripts.BrainTurn(me);
        scripts.OrderSink = nullptr;
        engine.RealTimeEngine = link;
        std::swap(me->BrainFile, file);
        std::swap(me->BrainData, brainData);
    };

    game.OnMessage = [](const std::string& message) { Say("message: " + message); };
    game.OnGameStarted = [&] {
        const TPlayer* me = engine.CurrentPlayer;
        Say("game started: player " + std::to_string(me ? me->Index : -1) + " " + (me ? me->Name : "?") + ", " +
            std::to_string(engine.PlayerCount()) + " players, " + std::to_string(engine.StarSystemCount()) +
            " star systems" + (game.Host() ? ", seed " + std::to_string(o.Seed) : ""));
    };
    game.OnObserving = [&] { Say("player out at impulse " + std::to_string(engine.Impulse) + ": following the game"); };
    game.OnImpulseDone = [&](int32_t next) {
        const int32_t done = next - 1;
        if (done % kProgressEvery == 0) {
            std::string line = "impulse " + std::to_string(done) + (clock.Active() && clock.IsMaster() ? " (master)" : "");
            for (int p = 0; p < engine.PlayerCount(); ++p) {
                const TPlayer& player = *engine.GetPlayer(p);
                line += "  [" + std::to_string(p) + "] " + std::to_string(player.StarSystemCount()) + " systems " +
                        std::to_string(player.StarShipCount()) + " ships";
                if (!player.Alive) line += " (out)";
            }
            Say(line);
        }
        if (done >= o.MaxImpulses) {
            game.Stop();
            Say("NO VICTOR after " + std::to_string(done) + " impulses");
            finish(0, "");
        }
    };
    game.OnGameOver = [&](TPlayer* winner) {
        if (winner) Say("VICTORY " + std::to_string(winner->Index) + " " + winner->Name + " impulse " +
                        std::to_string(engine.Impulse - 1));
        finish(0, "");
    };
    game.OnConnectionLost = [&] { finish(1, "the lobby server closed the connection"); };

    kyrel.OnSocketError = [&](TObject*, const std::string& text) {
        if (!kyrel.Active()) finish(1, "KyrelServer connection failed: " + text);
    };
    kyrel.OnConnected = [&](TObject*) {
        if (o.NewUser) {
            TKyrelUser user(o.User);
            user.Password = o.Password;
            kyrel.LoginNew(o.User, user.ToText());
        } else {
            kyrel.Login(o.User, o.Password);
        }
    };
    kyrel.OnLoginFailed = [&](TObject*, const std::string& text) { finish(1, "Login Failure: " + text); };
    kyrel.OnServerError = [&](TObject*, const std::string& text) { std::cerr << "KyrelServer Error: " << text << "\n"; };
    kyrel.OnLineError = [&](TObject*, const std::string& text) { std::cerr << "bad line from the server: " << text << "\n"; };

    bool asked = false;
    auto tryJoin = [&] {
        if (asked || o.Join.empty() || kyrel.CurrentSubject().empty()) return;
        for (const std::string& subject : kyrel.Subjects()) {
            if (!TGameSubject::IsGame(subject) || TGameSubject::Shown(subject) != o.Join) continue;
            std::string why;
            if (!game.JoinGame(subject, &why)) return finish(1, why);
            asked = true;
            Say("joining " + o.Join);
            return;
        }
    };
    kyrel.OnJoinSubject = [&](TObject*, const std::string& subject) {
        if (subject == "Lobby Chat" && !game.Started() && !game.Over()) {
            if (!o.Scenario.empty() && !asked) {
                asked = true;
                TNetworkGameSetup setup;
                setup.GameName = o.Game;
                setup.ScenarioFile = std::filesystem::path(o.Scenario).filename().string();
                setup.ScenarioText = scenarioText;
                setup.Humans = o.Humans;
                setup.Computers = o.Computers;
                game.CreateGame(setup);
                Say("hosting " + o.Game + " for " + std::to_string(o.Humans) + " humans and " +
                    std::to_string(o.Computers) + " computers");
            } else if (asked && !o.Join.empty()) {
                asked = false;  // sent back (the host left, or the game could not start)
            }
            tryJoin();
        }
    };
    kyrel.OnAddSubject = [&](TObject*, const std::string&) { tryJoin(); };
    kyrel.OnLoginSuccess = [&](TObject*, TKyrelUser* user) { Say("logged in as " + user->UserId); };

    QTimer patience;
    patience.setSingleShot(true);
    QObject::connect(&patience, &QTimer::timeout, [&] {
        if (!game.Started() && !game.Over()) finish(1, "no game began within " + std::to_string(kWaitForGameSeconds) + " seconds");
    });
    patience.start(kWaitForGameSeconds * 1000);

    Say("connecting to " + o.Host + ":" + std::to_string(o.Port));
    kyrel.SetActive(true);
    app.exec();
    game.Stop();

    if (status != 0) {
        kyrel.SetActive(false);
        throw ToolError{failure.empty() ? "the game did not end" : failure, 1};
    }
    const std::string state = engine.SaveToText();
    if (!o.Save.empty()) {
        TSavedGame::SaveFile(o.Save, engine);
        Say("saved " + o.Save);
    }
    // Back to the lobby and away; what is still buffered is sent first.
    kyrel.JoinSubject("Lobby Chat");
    transport.Flush(2000);
    kyrel.SetActive(false);
    const QByteArray digest = QCryptographicHash::hash(QByteArray(state.data(), static_cast<qsizetype>(state.size())),
                                                       QCryptographicHash::Sha256);
    Say("DIGEST " + digest.toHex().toStdString());
    return 0;
}

} // namespace

QX_COMMAND(netplay, "netplay", "play a network game through a lobby server, headless", Run);

} // namespace qx::tool

#endif // QX_HAVE_NETPLAY

#!/usr/bin/env python3
# tools/make_languages.py - writes the language files data/Localization/<code>.xml
# from the one table of texts below.
#
#   python3 tools/make_languages.py          write the files
#   python3 tools/make_languages.py --check  fail if a file differs from the table
#
# The files are UTF-16 little-endian with the mark FF FE, CR LF line ends, in
# the layout the program reads: <content>, then <section name="...">, then
# <key name="..." value="..."/>. No comments inside <content>: the reader
# would spoil the name of the element after one.

import os
import sys

LANGUAGES = ["ENU", "RUS", "DEU", "FRA", "ESP", "UKR"]

# (section, key): one text per language, in the order of LANGUAGES.
# Units and the text after a number start with a space: the program puts
# nothing between a number and its unit.
TEXTS = [
    ("Locale", "languageName", [
        "English", "Русский", "Deutsch", "Français", "Español", "Українська"]),

    ("Statistics", "symbolsCount.title", [
        "Symbols typed", "Набрано знаков", "Getippte Zeichen", "Caractères saisis",
        "Caracteres escritos", "Набрано знаків"]),
    ("Statistics", "symbolsCount.unit", [
        " symbols", " зн.", " Zeichen", " car.", " car.", " зн."]),
    ("Statistics", "lastSpeed.title.1", [
        "Speed over the last ", "Скорость за ", "Tempo über ", "Vitesse sur ",
        "Velocidad en ", "Швидкість за "]),
    ("Statistics", "lastSpeed.title.2", [" min", " мин", " Min.", " min", " min", " хв"]),
    ("Statistics", "speed.unit", [
        " sym/min", " зн/мин", " Z./min", " car./min", " car./min", " зн/хв"]),
    ("Statistics", "wordSpeed.unit", [
        " wpm", " сл/мин", " Wö./min", " mots/min", " pal./min", " сл/хв"]),
    ("Statistics", "rhythm.title", [
        "Rhythm evenness", "Ритмичность", "Gleichmäßigkeit", "Régularité du rythme",
        "Regularidad del ritmo", "Ритмічність"]),
    ("Statistics", "rhythm.unit", [" %", " %", " %", " %", " %", " %"]),
    ("Statistics", "effectiveness.title", [
        "Effectiveness", "Эффективность", "Effektivität", "Efficacité", "Efectividad",
        "Ефективність"]),
    ("Statistics", "effectiveness.unit", [" %", " %", " %", " %", " %", " %"]),

    ("SettingsDialog", "title", [
        "Keywhirl settings", "Настройки Keywhirl", "Keywhirl-Einstellungen",
        "Paramètres de Keywhirl", "Configuración de Keywhirl", "Налаштування Keywhirl"]),
    ("SettingsDialog", "keyboardAutoPopupInterval", [
        "Keyboard hint after (ms):", "Подсказка через (мс):", "Tastatur zeigen nach (ms):",
        "Clavier après (ms) :", "Mostrar teclado tras (ms):", "Підказка через (мс):"]),
    ("SettingsDialog", "metronomeFrequency", [
        "Metronome (beats/min):", "Метроном (ударов/мин):", "Metronom (Schläge/min):",
        "Métronome (bpm) :", "Metrónomo (pulsos/min):", "Метроном (ударів/хв):"]),
    ("SettingsDialog", "keyboardOpacity", [
        "Keyboard opacity", "Видимость клавиатуры", "Deckkraft der Tastatur",
        "Opacité du clavier", "Opacidad del teclado", "Видимість клавіатури"]),
    ("SettingsDialog", "statisticsOpacity", [
        "Statistics window opacity", "Видимость окна статистики",
        "Deckkraft des Statistikfensters", "Opacité des statistiques",
        "Opacidad de las estadísticas", "Видимість вікна статистики"]),
    ("SettingsDialog", "setOpaqueStatisticsOnHover", [
        "Opaque statistics under the mouse pointer",
        "Статистика непрозрачна под указателем мыши",
        "Statistik unter dem Mauszeiger deckend zeigen",
        "Statistiques opaques sous la souris",
        "Estadísticas opacas bajo el ratón",
        "Статистика непрозора під вказівником миші"]),
    ("SettingsDialog", "keyboardFollowsTyping", [
        "Keyboard on the monitor I type on",
        "Клавиатура на мониторе, где я печатаю",
        "Tastatur auf dem Monitor, wo ich tippe",
        "Clavier sur l'écran où je tape",
        "Teclado en el monitor donde escribo",
        "Клавіатура на моніторі, де я друкую"]),
    ("SettingsDialog", "save", [
        "Save", "Сохранить", "Speichern", "Enregistrer", "Guardar", "Зберегти"]),
    ("SettingsDialog", "cancel", [
        "Cancel", "Отмена", "Abbrechen", "Annuler", "Cancelar", "Скасувати"]),
    ("SettingsDialog", "interfaceLanguage", [
        "Interface language:", "Язык интерфейса:", "Oberflächensprache:",
        "Langue d'affichage :", "Idioma del programa:", "Мова інтерфейсу:"]),
    ("SettingsDialog", "speedUnit", [
        "Typing speed in:", "Скорость набора в:", "Tempo in:", "Vitesse en :",
        "Velocidad en:", "Швидкість набору в:"]),
    ("SettingsDialog", "speedUnit.symbols", [
        "symbols per minute", "знаках в минуту", "Zeichen pro Minute",
        "caractères par minute", "caracteres por minuto", "знаках за хвилину"]),
    ("SettingsDialog", "speedUnit.words", [
        "words per minute", "словах в минуту", "Wörtern pro Minute", "mots par minute",
        "palabras por minuto", "словах за хвилину"]),
    ("SettingsDialog", "ignoredPrograms", [
        "Programs where Keywhirl stays quiet:", "Программы, где Keywhirl молчит:",
        "Programme, in denen Keywhirl schweigt:", "Programmes où Keywhirl se tait :",
        "Programas donde Keywhirl calla:", "Програми, де Keywhirl мовчить:"]),
    ("SettingsDialog", "removeIgnoredProgram", [
        "Remove", "Удалить", "Entfernen", "Retirer", "Quitar", "Видалити"]),

    ("Messages", "Error.enterPositiveNumber", [
        "Please enter a positive number.",
        "Введите положительное число.",
        "Bitte geben Sie eine positive Zahl ein.",
        "Veuillez saisir un nombre positif.",
        "Introduzca un número positivo.",
        "Введіть додатне число."]),
    # The path of the missing picture follows on a line of its own.
    ("Messages", "Error.cannotFindKeyboardBackground", [
        "Cannot find the keyboard picture:",
        "Не найдено изображение клавиатуры:",
        "Das Tastaturbild wurde nicht gefunden:",
        "Image du clavier introuvable :",
        "No se encuentra la imagen del teclado:",
        "Не знайдено зображення клавіатури:"]),
    # The last line of a message about a missing file, after its path.
    ("Messages", "Error.keywhirlWillClose", [
        "Keywhirl will now close.",
        "Keywhirl будет закрыт.",
        "Keywhirl wird jetzt beendet.",
        "Keywhirl va maintenant se fermer.",
        "Keywhirl se cerrará ahora.",
        "Keywhirl буде закрито."]),
    # Any other failure during start-up; Error.keywhirlWillClose follows.
    ("Messages", "Error.cannotStart", [
        "Keywhirl could not start.",
        "Не удалось запустить Keywhirl.",
        "Keywhirl konnte nicht gestartet werden.",
        "Keywhirl n'a pas pu démarrer.",
        "No se pudo iniciar Keywhirl.",
        "Не вдалося запустити Keywhirl."]),
    ("Messages", "Error.cannotSetHook", [
        "Cannot install the keyboard hook. Keywhirl will not see your typing.",
        "Не удалось установить перехват клавиатуры. Keywhirl не увидит нажатий клавиш.",
        "Der Tastatur-Hook ließ sich nicht einrichten. Keywhirl sieht keine Tastendrücke.",
        "Impossible d'installer le hook clavier. Keywhirl ne verra pas votre frappe.",
        "No se pudo instalar el gancho de teclado. Keywhirl no verá sus pulsaciones.",
        "Не вдалося встановити перехоплення клавіатури. Keywhirl не бачитиме натискань."]),
    ("Messages", "Question.resetWeakKeys", [
        "Forget which keys made you hesitate? The counts of every key are cleared.",
        "Забыть, перед какими клавишами вы задумывались? Счётчики всех клавиш будут обнулены.",
        "Vergessen, bei welchen Tasten Sie gezögert haben? Die Zähler aller Tasten werden "
        "gelöscht.",
        "Oublier les touches qui vous ont fait hésiter ? Les compteurs de toutes les touches "
        "seront remis à zéro.",
        "¿Olvidar ante qué teclas dudó? Los contadores de todas las teclas se pondrán a cero.",
        "Забути, перед якими клавішами ви вагалися? Лічильники всіх клавіш буде обнулено."]),
    ("Messages", "Button.yes", ["&Yes", "&Да", "&Ja", "&Oui", "&Sí", "&Так"]),
    ("Messages", "Button.no", ["&No", "&Нет", "&Nein", "&Non", "&No", "&Ні"]),

    ("MainMenu", "autoPopup", [
        "&Automatic keyboard hint", "&Автоматическая подсказка", "&Automatische Tastaturhilfe",
        "&Aide clavier automatique", "&Ayuda de teclado automática", "&Автоматична підказка"]),
    ("MainMenu", "metronome", [
        "&Metronome", "&Метроном", "&Metronom", "&Métronome", "&Metrónomo", "&Метроном"]),
    ("MainMenu", "keypressSound", [
        "Key &click sound", "&Озвучивать нажатия клавиш", "Tasten&klick", "Son des &touches",
        "&Sonido de teclas", "&Озвучувати натискання клавіш"]),
    ("MainMenu", "showShortStatistics", [
        "Show &statistics", "&Показывать статистику", "&Statistik anzeigen",
        "Afficher les &statistiques", "Mostrar &estadísticas", "&Показувати статистику"]),
    ("MainMenu", "weakKeys", [
        "&Weak keys", "&Слабые клавиши", "Sch&wache Tasten", "Touches &faibles", "Teclas &débiles",
        "&Слабкі клавіші"]),
    ("MainMenu", "resetWeakKeys", [
        "&Reset weak keys...", "С&бросить слабые клавиши...", "Schwache Tasten &zurücksetzen...",
        "Réi&nitialiser les touches faibles...", "Res&tablecer teclas débiles...",
        "С&кинути слабкі клавіші..."]),
    ("MainMenu", "autorun", [
        "S&tart with Windows", "Авто&загрузка программы", "Mit Windows s&tarten",
        "Lancer avec &Windows", "&Iniciar con Windows", "Авто&завантаження програми"]),
    # %s stands for the program's file name.
    ("MainMenu", "ignoreProgram", [
        "&Ignore %s", "&Не замечать %s", "%s &ignorieren", "&Ignorer %s", "I&gnorar %s",
        "&Не помічати %s"]),
    ("MainMenu", "pause", [
        "&Pause Keywhirl", "Приостанови&ть Keywhirl", "Keywhirl an&halten",
        "Mettre Keywhirl en &pause", "&Pausar Keywhirl", "Призупини&ти Keywhirl"]),
    ("MainMenu", "pausedTip", [
        "Keywhirl is paused", "Keywhirl приостановлен", "Keywhirl ist angehalten",
        "Keywhirl est en pause", "Keywhirl está en pausa", "Keywhirl призупинено"]),
    ("MainMenu", "settings", [
        "S&ettings...", "Настро&йки...", "&Einstellungen...", "Pa&ramètres...",
        "&Configuración...", "Нала&штування..."]),
    ("MainMenu", "history", [
        "&History...", "&История...", "&Verlauf...", "&Historique...", "&Historial...",
        "&Історія..."]),
    ("MainMenu", "aboutKeywhirl", [
        "A&bout Keywhirl", "О про&грамме", "Ü&ber Keywhirl", "À pr&opos de Keywhirl",
        "Acerca de &Keywhirl", "Про п&рограму"]),
    ("MainMenu", "help", [
        "He&lp", "Сп&равка", "Hi&lfe", "Ai&de", "Ay&uda", "&Довідка"]),
    ("MainMenu", "exit", [
        "E&xit", "&Выход", "Been&den", "&Quitter", "Sa&lir", "&Вихід"]),

    # The legend in the keyboard picture's title bar: the caption, then the
    # colour strip between the words for few and many.
    ("WeakKeys", "legend.caption", [
        "Weak keys: share of presses after a pause", "Слабые клавиши: доля нажатий после паузы",
        "Schwache Tasten: Anteil der Anschläge nach einer Pause",
        "Touches faibles : part des frappes après une pause",
        "Teclas débiles: parte de pulsaciones tras una pausa",
        "Слабкі клавіші: частка натискань після паузи"]),
    ("WeakKeys", "legend.few", ["few", "мало", "wenige", "peu", "pocas", "мало"]),
    ("WeakKeys", "legend.many", ["many", "много", "viele", "beaucoup", "muchas", "багато"]),
    # The tooltip of a key: each text is followed by its number.
    ("WeakKeys", "tooltip.presses", [
        "Presses: ", "Нажатий: ", "Anschläge: ", "Frappes : ", "Pulsaciones: ", "Натискань: "]),
    ("WeakKeys", "tooltip.hesitations", [
        "After a hesitation: ", "После заминки: ", "Nach einem Zögern: ",
        "Après une hésitation : ", "Tras una duda: ", "Після вагання: "]),
    ("WeakKeys", "tooltip.leadTime", [
        "Usual lead time: ", "Обычное время до нажатия: ", "Übliche Vorlaufzeit: ",
        "Délai habituel : ", "Tiempo previo habitual: ", "Звичайний час до натискання: "]),
    ("WeakKeys", "tooltip.ms", [" ms", " мс", " ms", " ms", " ms", " мс"]),
    ("WeakKeys", "tooltip.noLeadTime", [
        "not measured yet", "ещё не измерено", "noch nicht gemessen", "pas encore mesuré",
        "aún sin medir", "ще не виміряно"]),

    ("Splash", "subtitle", [
        "your typing companion", "ваш помощник в наборе текста", "Ihr Begleiter beim Tippen",
        "votre compagnon de frappe", "su compañero de escritura", "ваш помічник у наборі тексту"]),
    ("Splash", "version", [
        "Version", "Версия", "Version", "Version", "Versión", "Версія"]),

    ("Keyboard", "key.backspace", [
        "Backspace", "Backspace", "Rück", "Retour", "Retroceso", "Backspace"]),
    ("Keyboard", "key.tab", [
        "Tab", "Tab", "Tab", "Tab", "Tab", "Tab"]),
    ("Keyboard", "key.capsLock", [
        "Caps Lock", "Caps Lock", "Feststell", "Verr. maj", "Bloq Mayús", "Caps Lock"]),
    ("Keyboard", "key.enter", [
        "Enter", "Enter", "Eingabe", "Entrée", "Intro",
        "Enter"]),
    ("Keyboard", "key.shift", [
        "Shift", "Shift", "Umschalt", "Maj", "Mayús",
        "Shift"]),
    ("Keyboard", "key.ctrl", ["Ctrl", "Ctrl", "Strg", "Ctrl", "Ctrl", "Ctrl"]),
    ("Keyboard", "key.alt", ["Alt", "Alt", "Alt", "Alt", "Alt", "Alt"]),
    ("Keyboard", "key.altGr", ["AltGr", "AltGr", "Alt Gr", "Alt Gr", "Alt Gr", "AltGr"]),
    ("Keyboard", "key.win", ["Win", "Win", "Win", "Win", "Win", "Win"]),
    ("Keyboard", "key.menu", ["Menu", "Меню", "Menü", "Menu", "Menú", "Меню"]),

    ("AboutDialog", "productVersion", [
        "Version:", "Версия:", "Version:", "Version :", "Versión:", "Версія:"]),
    ("AboutDialog", "programmer", [
        "Programming:", "Программирование:", "Programmierung:", "Programmation :",
        "Programación:", "Програмування:"]),
    ("AboutDialog", "ideaCreator", [
        "Idea and direction:", "Идея и руководство:", "Idee und Leitung:",
        "Idée et direction :", "Idea y dirección:", "Ідея та керівництво:"]),
    ("AboutDialog", "designer", [
        "Design:", "Дизайн:", "Gestaltung:", "Graphisme :", "Diseño:", "Дизайн:"]),
    ("AboutDialog", "webPage", [
        "Web page:", "Сайт:", "Webseite:", "Site web :", "Sitio web:", "Сайт:"]),

    ("History", "title", [
        "Keywhirl typing history", "История набора Keywhirl", "Keywhirl-Tippverlauf",
        "Historique de frappe Keywhirl", "Historial de escritura de Keywhirl",
        "Історія набору Keywhirl"]),
    ("History", "chart.symbols", [
        "Symbols per day", "Знаков за день", "Zeichen pro Tag", "Caractères par jour",
        "Caracteres por día", "Знаків за день"]),
    ("History", "chart.speed", [
        "Average speed, sym/min", "Средняя скорость, зн/мин", "Durchschnittstempo, Z./min",
        "Vitesse moyenne, car./min", "Velocidad media, car./min", "Середня швидкість, зн/хв"]),
    ("History", "chart.speed.words", [
        "Average speed, wpm", "Средняя скорость, сл/мин", "Durchschnittstempo, Wö./min",
        "Vitesse moyenne, mots/min", "Velocidad media, pal./min", "Середня швидкість, сл/хв"]),
    ("History", "today", ["Today", "Сегодня", "Heute", "Aujourd'hui", "Hoy", "Сьогодні"]),
    ("History", "last7Days", [
        "Last 7 days", "За 7 дней", "Letzte 7 Tage", "7 derniers jours", "Últimos 7 días",
        "За 7 днів"]),
    ("History", "last30Days", [
        "Last 30 days", "За 30 дней", "Letzte 30 Tage", "30 derniers jours",
        "Últimos 30 días", "За 30 днів"]),
    ("History", "symbols", [
        "Symbols", "Знаков", "Zeichen", "Caractères", "Caracteres", "Знаків"]),
    ("History", "averageSpeed", [
        "Average speed", "Средняя скорость", "Durchschnitt", "Vitesse moyenne",
        "Velocidad media", "Середня швидкість"]),
    ("History", "bestSpeed", [
        "Best minute", "Лучшая минута", "Beste Minute", "Meilleure minute", "Mejor minuto",
        "Найкраща хвилина"]),
    ("History", "effectiveness", [
        "Effectiveness", "Эффективность", "Effektivität", "Efficacité", "Efectividad",
        "Ефективність"]),
    ("History", "evenness", [
        "Evenness", "Ритмичность", "Gleichmäßigkeit", "Régularité", "Regularidad",
        "Ритмічність"]),
    ("History", "empty", [
        "Nothing recorded yet. Type as usual, and your days will show here.",
        "Пока ничего не записано. Печатайте как обычно, и здесь появятся ваши дни.",
        "Noch nichts aufgezeichnet. Tippen Sie wie gewohnt, dann erscheinen hier Ihre Tage.",
        "Rien n'est encore enregistré. Tapez comme d'habitude et vos journées apparaîtront ici.",
        "Aún no hay nada registrado. Escriba como siempre y sus días aparecerán aquí.",
        "Поки нічого не записано. Друкуйте як зазвичай, і тут з'являться ваші дні."]),
    ("History", "tip.symbols", [
        "Symbols typed: letters, digits, punctuation, Space, Tab and Enter; "
        "a held key's repeats count too.",
        "Набранные знаки: буквы, цифры, знаки препинания, пробел, Tab и Enter; "
        "повторы удерживаемой клавиши тоже считаются.",
        "Getippte Zeichen: Buchstaben, Ziffern, Satzzeichen, Leertaste, Tab und Eingabe; "
        "auch die Wiederholungen einer gehaltenen Taste zählen.",
        "Caractères saisis : lettres, chiffres, ponctuation, Espace, Tab et Entrée ; "
        "les répétitions d'une touche maintenue comptent aussi.",
        "Caracteres escritos: letras, cifras, puntuación, Espacio, Tab e Intro; "
        "también cuentan las repeticiones de una tecla mantenida.",
        "Набрані знаки: літери, цифри, розділові знаки, пробіл, Tab і Enter; "
        "повтори утримуваної клавіші теж рахуються."]),
    ("History", "tip.averageSpeed", [
        "Symbols per minute of typing time (words of five symbols, if chosen in the "
        "settings). Typing time is the time between your key presses; a pause over "
        "10 seconds is a break and is left out.",
        "Знаков в минуту времени набора (или слов по пять знаков, если так выбрано в "
        "настройках). Время набора — это время между нажатиями клавиш; пауза дольше "
        "10 секунд считается перерывом и не учитывается.",
        "Zeichen pro Minute Tippzeit (oder Wörter zu fünf Zeichen, wenn in den "
        "Einstellungen gewählt). Tippzeit ist die Zeit zwischen Ihren Tastendrücken; eine "
        "Pause über 10 Sekunden ist eine Unterbrechung und zählt nicht mit.",
        "Caractères par minute de frappe (ou mots de cinq caractères, si choisi dans les "
        "paramètres). Le temps de frappe est le temps entre vos appuis de touche ; une "
        "pause de plus de 10 secondes est une interruption et n'est pas comptée.",
        "Caracteres por minuto de escritura (o palabras de cinco caracteres, si se elige "
        "en la configuración). El tiempo de escritura es el tiempo entre sus pulsaciones; "
        "una pausa de más de 10 segundos es un descanso y no se cuenta.",
        "Знаків за хвилину часу набору (або слів по п'ять знаків, якщо так вибрано в "
        "налаштуваннях). Час набору — це час між натисканнями клавіш; пауза понад "
        "10 секунд вважається перервою і не враховується."]),
    ("History", "tip.bestSpeed", [
        "The fastest minute of typing time: the most symbols in any one minute, breaks "
        "over 10 seconds left out as for the average. With less than a minute of typing "
        "it is the average; it is never below it.",
        "Самая быстрая минута времени набора: больше всего знаков за одну минуту, перерывы "
        "дольше 10 секунд не учитываются, как и для средней скорости. Если набора меньше "
        "минуты, это средняя скорость; ниже неё лучшая минута не бывает.",
        "Die schnellste Minute Tippzeit: die meisten Zeichen in einer Minute, Pausen über "
        "10 Sekunden zählen wie beim Durchschnitt nicht mit. Bei weniger als einer Minute "
        "Tippzeit ist es der Durchschnitt; darunter liegt sie nie.",
        "La minute de frappe la plus rapide : le plus de caractères en une minute, les "
        "pauses de plus de 10 secondes exclues comme pour la moyenne. Avec moins d'une "
        "minute de frappe, c'est la moyenne ; elle n'est jamais en dessous.",
        "El minuto de escritura más rápido: la mayor cantidad de caracteres en un minuto, "
        "sin contar los descansos de más de 10 segundos, igual que en la media. Con menos "
        "de un minuto de escritura es la media; nunca queda por debajo de ella.",
        "Найшвидша хвилина часу набору: найбільше знаків за одну хвилину, перерви понад "
        "10 секунд не враховуються, як і для середньої швидкості. Якщо набору менше "
        "хвилини, це середня швидкість; нижчою за неї найкраща хвилина не буває."]),
    ("History", "tip.effectiveness", [
        "The share of typed symbols that were not erased again with Backspace or Delete.",
        "Доля набранных знаков, которые не были стёрты клавишами Backspace или Delete.",
        "Der Anteil der getippten Zeichen, die nicht mit Rücktaste oder Entf wieder "
        "gelöscht wurden.",
        "La part des caractères saisis qui n'ont pas été effacés avec Retour arrière ou "
        "Suppr.",
        "La parte de los caracteres escritos que no se borraron con Retroceso o Supr.",
        "Частка набраних знаків, які не були стерті клавішами Backspace або Delete."]),
    ("History", "tip.evenness", [
        "How even the gaps between your key presses are, like the rhythm in the statistics "
        "window, over the typing time: 100 % is perfectly even.",
        "Насколько ровны промежутки между нажатиями клавиш, как ритмичность в окне "
        "статистики, за время набора: 100 % — идеально ровно.",
        "Wie gleichmäßig die Abstände zwischen Ihren Tastendrücken sind, wie der Rhythmus "
        "im Statistikfenster, über die Tippzeit: 100 % ist völlig gleichmäßig.",
        "La régularité des intervalles entre vos appuis de touche, comme le rythme de la "
        "fenêtre des statistiques, sur le temps de frappe : 100 % est parfaitement régulier.",
        "Lo regulares que son los intervalos entre sus pulsaciones, como el ritmo de la "
        "ventana de estadísticas, durante el tiempo de escritura: 100 % es perfectamente "
        "regular.",
        "Наскільки рівні проміжки між натисканнями клавіш, як ритмічність у вікні "
        "статистики, за час набору: 100 % — ідеально рівно."]),
    ("History", "tip.chart", [
        "Bars: the symbols typed each day (left scale). Line: the day's average speed "
        "over its typing time (right scale). Today's band is highlighted.",
        "Столбцы: знаки, набранные за каждый день (левая шкала). Линия: средняя скорость "
        "дня за время набора (правая шкала). Сегодняшний день выделен.",
        "Balken: die an jedem Tag getippten Zeichen (linke Skala). Linie: das "
        "Durchschnittstempo des Tages über seine Tippzeit (rechte Skala). Heute ist "
        "hervorgehoben.",
        "Barres : les caractères saisis chaque jour (échelle de gauche). Ligne : la vitesse "
        "moyenne du jour sur son temps de frappe (échelle de droite). Aujourd'hui est mis "
        "en évidence.",
        "Barras: los caracteres escritos cada día (escala izquierda). Línea: la velocidad "
        "media del día durante su tiempo de escritura (escala derecha). Hoy aparece "
        "resaltado.",
        "Стовпці: знаки, набрані за кожен день (ліва шкала). Лінія: середня швидкість дня "
        "за час набору (права шкала). Сьогоднішній день виділено."]),
    ("History", "openFolder", [
        "Open folder", "Открыть папку", "Ordner öffnen", "Ouvrir le dossier", "Abrir carpeta",
        "Відкрити теку"]),
]


def escape(text):
    """Writes a text so that the program's reader gives it back unchanged."""
    out = []
    for c in text:
        if c == "&":
            out.append("&amp;")
        elif c == '"':
            out.append("&quot;")
        elif c == "<":
            out.append("&lt;")
        elif c == ">":
            out.append("&gt;")
        elif ord(c) < 0x20:
            out.append("&#%d;" % ord(c))  # the reader turns raw ones into spaces
        else:
            out.append(c)
    return "".join(out)


def read_back(value):
    """The reader's decoding of an attribute value (entities, then decimal references)."""
    for entity, char in (("&amp;", "&"), ("&quot;", '"'), ("&lt;", "<"), ("&gt;", ">")):
        while entity in value:
            value = value.replace(entity, char)
    position = value.find("&#")
    while position != -1:
        end = value.find(";", position)
        digits = value[position + 2:end] if end != -1 else value[position + 2:]
        if digits.isdigit() and str(int(digits)) == digits and 1 <= int(digits) <= 0x10FFFF:
            reference = "&#" + digits + ";"
            while reference in value:
                value = value.replace(reference, chr(int(digits)))
        position = value.find("&#", position + 1)
    return value


def document(index):
    lines = ['<?xml version="1.0" encoding="UTF-16"?>', "<content>"]
    section = None
    for name, key, texts in TEXTS:
        text = texts[index]
        if not text:
            sys.exit("%s/%s is empty in %s" % (name, key, LANGUAGES[index]))
        value = escape(text)
        if read_back(value) != text:
            sys.exit("%s/%s in %s would not read back" % (name, key, LANGUAGES[index]))
        if name != section:
            if section is not None:
                lines.append("\t</section>")
            lines.append('\t<section name="%s">' % name)
            section = name
        lines.append('\t\t<key name="%s" value="%s"/>' % (key, value))
    lines.append("\t</section>")
    lines.append("</content>")
    return b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le")


def main():
    check = "--check" in sys.argv[1:]
    seen = set()
    for name, key, texts in TEXTS:
        if (name, key) in seen:
            sys.exit("%s/%s comes twice" % (name, key))
        seen.add((name, key))
        if len(texts) != len(LANGUAGES):
            sys.exit("%s/%s needs %d texts" % (name, key, len(LANGUAGES)))
    sections = [name for name, _, _ in TEXTS]
    for i in range(1, len(sections)):
        if sections[i] != sections[i - 1] and sections[i] in sections[:i]:
            sys.exit("the keys of section %s must stand together" % sections[i])

    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "Localization")
    os.makedirs(folder, exist_ok=True)
    stale = []
    for index, code in enumerate(LANGUAGES):
        path = os.path.join(folder, code + ".xml")
        data = document(index)
        if check:
            with open(path, "rb") as f:
                if f.read() != data:
                    stale.append(code)
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        sys.exit("out of date: " + ", ".join(stale) + " (run tools/make_languages.py)")


if __name__ == "__main__":
    main()

// The board as real controls, for screen readers and the keyboard: elements with roles, names and states,
// each placed exactly over what it stands for on the canvas and kept in step with the game's kept value.
// They never take a pointer or a touch from the canvas (pointer-events: none); activating one gives the
// canvas the motion and click a mouse would make at its centre, through the page's own mouse listeners,
// so the game cannot tell the two apart. One polite live region says what each action did.
(function() {
    'use strict';

    var SIZE = [640, 480];
    var RULES = ['ZOPP-Style... jeder gehaltene Wuerfel darf wieder benutzt werden',
                 'Original-K-Style... jeder gehaltene Wuerfel bleibt liegen (locked !)'];
    var RULE_NAMES = ['ZOPP-Style', 'Original-K-Style'];
    var ROWS = ['1er', '2er', '3er', '4er', '5er', '6er', 'oben', 'Bonus', '3er Pasch', '4er Pasch', 'Full House',
                'kl. Strasse', 'gr. Strasse', 'ZOPP ;)', 'Chance', 'unten', 'Gesamt'];
    var SUMS = [7, 8, 16, 17];
    // Phases of the game's main loop.
    var SETUP = 1, BEFORE_FIRST_THROW = 2, AFTER_FIRST_THROW = 3, AFTER_SECOND_THROW = 4, CHOOSE_ROW = 5, GAME_OVER = 6;

    var mirror = document.getElementById('mirror'), said = document.getElementById('said');
    var board = document.getElementById('board');

    // Places, in canvas pixels [left, top, width, height], as the game draws and hit-tests them.
    var rowTop = function(row) { return row <= 8 ? 20 * row + 5 : 20 * row + 10; };
    var cellBox = function(column, row) { return [70 + 100 * column, row ? rowTop(row) : 5, 100, 20]; };

    // An element placed at box (canvas pixels) inside its parent's box, so that it scales with the canvas.
    function add(parent, tag, box, attributes, text) {
        var element = document.createElement(tag), within = parent.box || [0, 0].concat(SIZE);
        Object.keys(attributes || {}).forEach(function(name) { element.setAttribute(name, attributes[name]); });
        ['left', 'top', 'width', 'height'].forEach(function(side, i) {
            var origin = i < 2 ? within[i] : 0, extent = within[2 + (i % 2)];
            element.style[side] = ((box[i] - origin) * 100) / extent + '%';
        });
        element.box = box;
        if (text !== undefined) element.appendChild(document.createElement('span')).textContent = text;
        parent.appendChild(element);
        return element;
    }
    // A click changes a few of the mirror's hundred elements: only those are written, so that the page
    // does not lay out the rest again before the canvas shows the click.
    function setText(element, text) {
        if (element.firstChild.textContent !== text) element.firstChild.textContent = text;
    }
    function set(element, property, value) {
        if (element[property] !== value) element[property] = value;
    }
    function setState(element, name, value) {
        if (element.getAttribute(name) !== String(value)) element.setAttribute(name, String(value));
    }
    function button(parent, box, attributes, text) {
        var control = add(parent, 'button', box, Object.assign({ type: 'button' }, attributes), text);
        control.addEventListener('click', function() { activate(control); });
        return control;
    }

    // The setup screen: the rule boxes, the player-count dice.
    var setup = add(mirror, 'div', [30, 40, 600, 360]);
    var rules = add(setup, 'div', [30, 40, 20, 70], { role: 'radiogroup', 'aria-label': 'Regelwerk' });
    var ruleBoxes = RULES.map(function(rule, i) {
        return button(rules, [30, 40 + 50 * i, 20, 20], { role: 'radio' }, rule);
    });
    // As in any choice of one: the arrow keys choose the other rule too.
    rules.addEventListener('keydown', function(event) {
        if (!/^Arrow/.test(event.key)) return;
        event.preventDefault();
        var other = ruleBoxes[1 - ruleBoxes.indexOf(event.target)];
        other.focus();
        activate(other);
    });
    var counts = add(setup, 'div', [130, 350, 350, 50], { role: 'group', 'aria-label': 'Anzahl der Spieler' });
    [1, 2, 3, 4].forEach(function(count) {
        button(counts, [30 + 100 * count, 350, 50, 50], {}, count + ' Spieler');
    });

    // A game: the score sheet, the dice, the message button and, at the end, the winner's line.
    var game = add(mirror, 'div', [0, 0].concat(SIZE));
    var sheet = add(game, 'div', [70, 5, 500, 365], { role: 'table', 'aria-label': 'ScoreBoard' });
    var header = add(sheet, 'div', [70, 5, 500, 20], { role: 'row' });
    add(header, 'div', [70, 5, 100, 20], { role: 'cell' });
    var heads = [1, 2, 3, 4].map(function(player) {
        return add(header, 'div', cellBox(player, 0), { role: 'columnheader' }, 'Spieler ' + player);
    });
    var cells = ROWS.map(function(label, i) {
        var row = add(sheet, 'div', [70, rowTop(i + 1), 500, 20], { role: 'row' });
        add(row, 'div', cellBox(0, i + 1), { role: 'rowheader' }, label);
        return [1, 2, 3, 4].map(function(player) {
            var cell = add(row, 'div', cellBox(player, i + 1), { role: 'cell' }, '');
            if (SUMS.indexOf(i + 1) < 0) cell.candidate = button(cell, cell.box, { hidden: '' }, '');
            return cell;
        });
    });
    var tray = add(game, 'div', [70, 380, 290, 50], { role: 'group', 'aria-label': 'Würfel' });
    var dice = [1, 2, 3, 4, 5].map(function(die) {
        return button(tray, [10 + 60 * die, 380, 50, 50], { 'aria-pressed': 'false' }, '');
    });
    var message = button(game, [370, 380, 200, 50], {}, '');
    var congratulation = add(game, 'p', [85, 448, 440, 16], { hidden: '' },
                             'Wer auch immer gewonnen hat, Herzlichen Glueckwunsch!!!');

    // The kept value at its fixed offsets: phase 5, ruleVariant 6, playerCount 7, currentPlayer 8,
    // currentRound 10, pickedUpCount 13, dice from 14 (value, state, locked), scores from 44 (int16,
    // [player 0..4][row 0..17]).
    function read(value) {
        var bytes = new DataView(value.buffer, value.byteOffset, value.byteLength);
        var state = { phase: value[5], rules: value[6], players: value[7], player: value[8], round: value[10],
                      pickedUp: value[13], dice: [], scores: [] };
        for (var die = 0; die < 5; ++die) {
            state.dice.push({ face: value[14 + 3 * die], state: bytes.getInt8(15 + 3 * die), locked: value[16 + 3 * die] });
        }
        for (var player = 0; player <= 4; ++player) {
            var column = [];
            for (var row = 0; row <= 17; ++row) column.push(bytes.getInt16(44 + 2 * (18 * player + row), true));
            // The sums stand on the board only once the player has scored a row.
            var scored = column.some(function(score, row) { return row > 0 && SUMS.indexOf(row) < 0 && score >= 0; });
            state.scores.push(column.map(function(score, row) {
                return score >= 0 && (scored || SUMS.indexOf(row) < 0) ? score : null;
            }));
        }
        return state;
    }
    function messageText(state) {
        if (state.phase === BEFORE_FIRST_THROW) return '1. Wurf Spieler ' + state.player;
        if (state.phase === CHOOSE_ROW) return 'Auswahl im ScoreBoard';
        if (state.phase === GAME_OVER) return 'Neues Spiel ??';
        if (state.pickedUp === 0) return 'ins Scoreboard damit !?';
        return state.phase - 1 + '. Wurf Spieler ' + state.player;
    }
    var throwing = function(state) { return state.phase === AFTER_FIRST_THROW || state.phase === AFTER_SECOND_THROW; };

    function update(state) {
        set(setup, 'hidden', state.phase !== SETUP);
        set(game, 'hidden', state.phase === SETUP);
        ruleBoxes.forEach(function(box, i) { setState(box, 'aria-checked', state.rules === i); });
        heads.forEach(function(head, i) {
            set(head, 'hidden', i >= state.players);
            setState(head, 'aria-current', i + 1 === state.player);
        });
        cells.forEach(function(row, i) {
            row.forEach(function(cell, column) {
                var score = state.scores[column + 1][i + 1], candidate = cell.candidate;
                set(cell, 'hidden', column >= state.players);
                setText(cell, score === null ? '' : String(score));
                if (!candidate) return;
                set(candidate, 'hidden', !(state.phase === CHOOSE_ROW && column + 1 === state.player && score === null));
                setText(candidate, ROWS[i] + ': ' + state.scores[0][i + 1]);
            });
        });
        dice.forEach(function(die, i) {
            var shown = state.dice[i];
            setText(die, 'Würfel ' + (i + 1) + ': ' + (shown.state < 0 ? 'nicht geworfen' : shown.face) +
                         (shown.locked ? ', gesperrt' : ''));
            setState(die, 'aria-pressed', shown.state === 1);
            set(die, 'disabled', !throwing(state) || shown.locked !== 0);
        });
        setText(message, messageText(state));
        set(message, 'disabled', state.phase === CHOOSE_ROW);
        set(congratulation, 'hidden', state.phase !== GAME_OVER);
    }

    // What an action did, from the value before it to the one after; '' when nothing the player sees.
    function turnLine(state) {
        return 'Runde ' + state.round + ': Spieler ' + state.player + ' ist am Zug.';
    }
    function finalLine(state) {
        var totals = state.scores.slice(1, state.players + 1).map(function(column) { return column[17]; });
        var best = Math.max.apply(null, totals);
        var winners = totals.flatMap(function(total, i) { return total === best ? ['Spieler ' + (i + 1)] : []; });
        return 'Spielende. Gesamt: ' + totals.map(function(total, i) { return 'Spieler ' + (i + 1) + ' ' + total; }).join(', ') +
               '. ' + (winners.length > 1 ? 'Gleichstand: ' + winners.join(' und ') : 'Es gewinnt ' + winners[0]) + '.';
    }
    function threw(before, after) {
        return (after.phase === before.phase + 1 && before.phase >= BEFORE_FIRST_THROW && after.phase <= AFTER_SECOND_THROW) ||
               (before.phase === AFTER_SECOND_THROW && after.phase === CHOOSE_ROW && before.pickedUp > 0);
    }
    function describe(before, after) {
        if (after.phase === SETUP) {
            if (before.phase !== SETUP) return 'Neues Spiel: Regelwerk und Anzahl der Spieler wählen.';
            return before.rules !== after.rules ? 'Regelwerk: ' + RULE_NAMES[after.rules] : '';
        }
        if (before.phase === SETUP) {
            return 'Spiel mit ' + after.players + ' Spieler' + (after.players > 1 ? 'n' : '') + ', ' +
                   RULE_NAMES[after.rules] + '. ' + turnLine(after);
        }
        if (threw(before, after)) {
            return 'Spieler ' + after.player + ', ' + (before.phase - 1) + '. Wurf: ' +
                   after.dice.map(function(die) { return die.face; }).join(', ');
        }
        if (after.phase === CHOOSE_ROW && before.phase !== CHOOSE_ROW) return 'Spieler ' + after.player + ': Auswahl im ScoreBoard';
        if (before.phase === CHOOSE_ROW && after.phase !== CHOOSE_ROW) {
            var row = before.scores[before.player].findIndex(function(score, row) {
                return score === null && after.scores[before.player][row] !== null && SUMS.indexOf(row) < 0 && row > 0;
            });
            return 'Spieler ' + before.player + ': ' + ROWS[row - 1] + ' ' + after.scores[before.player][row] + '. ' +
                   (after.phase === GAME_OVER ? finalLine(after) : turnLine(after));
        }
        if (throwing(after)) {
            var toggled = after.dice.findIndex(function(die, i) { return die.state !== before.dice[i].state; });
            if (toggled >= 0) return 'Würfel ' + (toggled + 1) + (after.dice[toggled].state === 1 ? ' aufgenommen' : ' zurückgelegt');
        }
        return '';
    }
    // One line at a time: each is added anew, so that the same words twice are also said twice.
    function say(line) {
        var item = document.createElement('p');
        item.textContent = line;
        said.replaceChildren(item);
    }

    // Where the focus goes when the game moves on: to the dice after a throw, to the first candidate when a
    // row is to be chosen, to the message button at a turn's start and at the end, to the rules on the
    // setup screen.
    var usable = function(control) { return control && !control.disabled && !control.closest('[hidden]'); };
    function nextFocus(before, after) {
        if (after.phase === SETUP) return before.phase === SETUP ? null : ruleBoxes[after.rules];
        if (after.phase === CHOOSE_ROW) {
            if (before.phase === CHOOSE_ROW) return null;
            return mirror.querySelector('[role=cell] > button:not([hidden])');
        }
        if (threw(before, after)) return dice.find(usable) || message;
        return after.phase !== before.phase ? message : null;
    }

    // The focus follows the game while it is on the mirror, or after a control was activated from
    // anywhere (by its key); a press of the mouse or a finger ends that.
    var shown = null, activated = false;
    Module.zoppShowOnMirror = function(value) {
        var state = read(value), before = shown, focused = document.activeElement;
        shown = state;
        update(state);
        set(mirror, 'hidden', false);
        if (!before) return;
        var line = describe(before, state), target = nextFocus(before, state);
        if (line) say(line);
        if (!usable(target) && mirror.contains(focused) && !usable(focused)) target = message;
        if ((activated || mirror.contains(focused)) && usable(target)) target.focus();
        // The press of a click keeps a value too, with only the pointer's place changed.
        if (line || target) activated = false;
    };
    ['mousedown', 'touchstart'].forEach(function(type) {
        window.addEventListener(type, function(event) { if (event.isTrusted) activated = false; }, true);
    });

    // The pointer comes to the control's centre as a hand brings it, in more than one motion (the first
    // motion onto the canvas only enters it), then the left button goes down and up there.
    function activate(control) {
        var canvas = document.getElementById('screen');
        if (!usable(control) || !canvas || canvas.hidden) return;
        activated = true;
        var area = canvas.getBoundingClientRect(), box = control.box;
        // A canvas pixel's place on the page: a whole CSS pixel inside it where there is one, as a mouse
        // reports whole pixels, else its middle.
        var within = function(start, size, pixels, at) {
            var from = start + (at * size) / pixels, to = start + ((at + 1) * size) / pixels;
            return Math.ceil(from) < to ? Math.ceil(from) : (from + to) / 2;
        };
        var at = function(x, y) {
            var clientX = within(area.left, area.width, SIZE[0], x), clientY = within(area.top, area.height, SIZE[1], y);
            return { clientX: clientX, clientY: clientY, screenX: window.screenX + clientX, screenY: window.screenY + clientY };
        };
        var send = function(type, point) {
            canvas.dispatchEvent(new MouseEvent(type, Object.assign({ bubbles: true, cancelable: true, view: window }, point)));
        };
        var centre = at(box[0] + box[2] / 2, box[1] + box[3] / 2);
        send('mousemove', at(box[0] + 1, box[1] + 1));
        send('mousemove', centre);
        send('mousedown', centre);
        send('mouseup', centre);
    }

    // A held Enter repeats a button's click; a held mouse button does not.
    mirror.addEventListener('keydown', function(event) {
        if (event.repeat && event.key === 'Enter') event.preventDefault();
    });

    // The game's keys, wherever the focus is: 1 to 5 pick up or put back a die, W throws (the message
    // button). They reach the program as keys all the same.
    window.addEventListener('keydown', function(event) {
        if (event.repeat || event.ctrlKey || event.altKey || event.metaKey || mirror.hidden ||
            document.querySelector('dialog[open]')) {
            return;
        }
        var die = /^(?:Digit|Numpad)([1-5])$/.exec(event.code);
        var control = die ? dice[die[1] - 1] : event.key === 'w' || event.key === 'W' ? message : null;
        if (control) activate(control);
    });

    // Without the canvas (the program ended, or a report took its place) the mirror goes too. The mirror is
    // watched too, and hiding it once more would be one more change to see, for ever.
    new MutationObserver(function() {
        var canvas = document.getElementById('screen');
        if (!canvas || canvas.hidden) set(mirror, 'hidden', true);
    }).observe(board, { childList: true, subtree: true, attributes: true, attributeFilter: ['hidden'] });
})();
